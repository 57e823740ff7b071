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

namespace quorvane {

// The application server's reply as the client reads it: the children of "responsed".
struct DemoReply
{
    int status = 0;
    std::string contentType;
    QMap<QString, QString> values;

    bool has(const char* name) const { return values.contains(QLatin1String(name)); }
    QString value(const char* name) const { return values.value(QLatin1String(name)); }
    QString code() const { return value("code"); }
};

// A demo server on a free port of 127.0.0.1 with a fresh data folder, and a client for it.
class DemoServerTest : public ::testing::Test
{
protected:
    DemoServerTest();
    ~DemoServerTest() override;

    DemoServerOptions options() const;
    void startServer(const DemoServerOptions& options);
    void startServer() { startServer(options()); }
    void restartServer();
    void stopServer();

    QString dataDir() const { return m_dataDir.path(); }
    int port() const { return m_port; }
    std::string appBase() const { return "/quorvane2"; }

    // A GET of a target (path and query, as the client sends it) from 127.0.0.1; an admin URL
    // without a key gets the server's.
    httplib::Result get(const std::string& target, const httplib::Headers& headers = {}) const;

    // A GET of an application server operation, its reply decoded from code page 936.
    DemoReply call(const std::string& target) const;

    // Signs in through userLogin or weiboLogin and gives the token (fails the test otherwise).
    QString signIn(const QString& userName, const QString& password) const;
    QString weiboSignIn(const QString& userName, const QString& password) const;

    // A value as the client puts it into a URL: code page 936 bytes, percent-encoded.
    static std::string encode(const QString& value);

    // userRegister target with the signature the client computes.
    std::string registerTarget(const QString& userName, const QString& password) const;

private:
    QTemporaryDir m_dataDir;
    std::unique_ptr<DemoServer> m_server;
    DemoServerOptions m_options;
    int m_port = 0;
};

DemoReply parseReply(const httplib::Result& result);

} // namespace quorvane
