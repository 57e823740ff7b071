#pragma once

#include "devserver/DemoServer.h"
#include "devserver/DemoServerOptions.h"

#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>
#include <memory>
#include <string>

// The application server's reply as the client reads it: the children of "responsed".
struct TReply
{
    int status = 0;
    std::string contentType;
    QMap<QString, QString> values;

    bool Has(const char* name) const { return values.contains(QLatin1String(name)); }
    QString Value(const char* name) const { return values.value(QLatin1String(name)); }
    QString Code() const { return Value("code"); }
};

// A demo server on a free port of 127.0.0.1 with a fresh data folder, and a client for it.
class DemoServerTest : public ::testing::Test
{
protected:
    DemoServerTest();
    ~DemoServerTest() override;

    TDemoServerOptions Options() const;
    void StartServer(const TDemoServerOptions& options);
    void StartServer() { StartServer(Options()); }
    void RestartServer();
    void StopServer();

    QString DataDir() const { return dataDir_.path(); }
    int Port() const { return port_; }
    std::string AppBase() const { return "/quorvane2"; }

    // A GET of a target (path and query, as the client sends it) from 127.0.0.1; an admin URL
    // without a key gets the server's.
    httplib::Result Get(const std::string& target, const httplib::Headers& headers = {}) const;

    // A GET of an application server operation, its reply decoded from code page 936.
    TReply Call(const std::string& target) const;

    // Signs in through userLogin or weiboLogin and gives the token (fails the test otherwise).
    QString SignIn(const QString& userName, const QString& password) const;
    QString WeiboSignIn(const QString& userName, const QString& password) const;

    // A value as the client puts it into a URL: code page 936 bytes, percent-encoded.
    static std::string Encode(const QString& value);

    // userRegister target with the signature the client computes.
    std::string RegisterTarget(const QString& userName, const QString& password) const;

private:
    QTemporaryDir dataDir_;
    std::unique_ptr<TDemoServer> server_;
    TDemoServerOptions options_;
    int port_ = 0;
};

TReply ParseReply(const httplib::Result& result);
