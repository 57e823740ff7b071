#pragma once

#include "server/HttpClient.h"
#include "server/LoginReply.h"
#include "server/Reply.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <pugixml.hpp>

namespace quorvane {

// The client's one way to the application server: every operation is a GET below the
// application URL whose XML reply (root "responsed") is loaded into the document handed in
// and read by path. Failures are raised as Failure; nothing is caught here.
//
// A thread whose requests are bound to a RequestCancel (see RequestCancelScope) can have them cut
// short from another thread.
//
// The polling thread and the threads of the windows' requests share one object: each operation holds one
// lock from building its URL to its last reading step, so that no other reply is loaded into
// the document in between.
class ServerApi final
{
    Q_DISABLE_COPY_MOVE(ServerApi)

public:
    // `limits` lets tests shorten the time limits; the client uses the defaults.
    explicit ServerApi(pugi::xml_document& xmlDocument, const HttpLimits& limits = {});
    ~ServerApi();

    // GETs `url` and loads the reply into `document`. After a failed request the HTTP client is
    // replaced, so the next request starts on a fresh connection, and `document` keeps what it held.
    void invokeRemote(pugi::xml_document& document, const QString& url);
    // The loading half of invokeRemote: a reply body that has arrived replaces the content of
    // `document`. Text that is not well-formed XML raises Failure and leaves `document` empty.
    void loadReply(pugi::xml_document& document, const QByteArray& body);
    QString getNodeText(const pugi::xml_document& document, const QString& path);
    // True when the code text is exactly "0".
    bool isSuccess(const pugi::xml_document& document);
    // The code as a decimal integer, -1 when it is not one.
    int getResultCode(const pugi::xml_document& document);

    LoginReply userLogin(const QString& userName, const QString& password);
    LoginReply weiboLogin(const QString& userName, const QString& password);
    Reply userRegister(const QString& userName, const QString& password);
    Reply getInformationList(const QString& userName, const QString& token, int ot);
    // Empty on success, otherwise the server's message ("0" when it sent none).
    QString changePassword(const QString& userName, const QString& oldPassword, const QString& newPassword,
                           const QString& token);
    QString shareInfo(const QString& userName, const QString& token, const QString& shareType);

    // What the operations make of the reply in the object's document: each operation runs its
    // reading step right after invokeRemote. Tests and fuzzers feed a reply with loadReply and
    // call them directly.
    LoginReply readLoginReply(bool readRole);          // userLogin (with the role), weiboLogin
    Reply readRegisterReply();                         // userRegister
    Reply readInformationReply(const QString& appUrl); // getInformationList
    QString readMessageReply();                        // changePassword, shareInfo

    // Thread-safe: the running request and every later one fail at once (used when the client ends).
    void abort();

private:
    void replaceHttpClient();

    // Takes the operation lock for the current thread; a cancelled request stops waiting for it.
    std::unique_lock<std::recursive_mutex> lockOperation();

    // Recursive, so that an operation holding it can call the public reading steps.
    std::recursive_mutex m_operationMutex;
    // Guards only the pointer below against Abort while it is replaced.
    std::mutex m_clientMutex;
    HttpLimits m_limits;
    std::unique_ptr<HttpClient> m_httpClient;
    pugi::xml_document& m_xmlDocument;
    std::atomic<bool> m_aborted = false;
};

} // namespace quorvane
