#pragma once

#include "devserver/AccountStore.h"
#include "devserver/AdminOperations.h"
#include "devserver/AppOperations.h"
#include "devserver/DemoServerOptions.h"
#include "devserver/DownloadFiles.h"
#include "devserver/NotificationQueue.h"
#include "devserver/QueryItems.h"
#include "devserver/RequestLog.h"
#include "devserver/SessionTable.h"
#include "devserver/SiteLinks.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <httplib.h>
#include <optional>

namespace quorvane {

// Which answer each request gets: the request's host and path choose a route, the route reads the
// query and answers with a reply envelope, a page or a file. Unknown paths answer 404.
class DemoRoutes final
{
public:
    // Raises Failure when the account store or the request log cannot be opened.
    explicit DemoRoutes(const DemoServerOptions& options);
    Q_DISABLE_COPY_MOVE(DemoRoutes)

    // Every request is logged before it is answered, so the log is complete when the reply arrives.
    void log(const httplib::Request& request);

    void handle(const httplib::Request& request, httplib::Response& response);

    // Whether a request's Host header names this server: 127.0.0.1 or localhost with its port
    // `port`, or one of the share hosts. Any other name reached it through a DNS name that
    // resolves to this machine (a page of another site rebinding its name) and is refused.
    bool isOwnHost(const httplib::Request& request, int port) const;

    // The key the admin URLs need.
    const QString& adminKey() const { return m_adminKey; }

private:
    using Route = void (DemoRoutes::*)(const httplib::Request&, const QueryItems&, httplib::Response&);

    // Application server operations.
    void userLogin(const httplib::Request&, const QueryItems&, httplib::Response&);
    void weiboLogin(const httplib::Request&, const QueryItems&, httplib::Response&);
    void userRegister(const httplib::Request&, const QueryItems&, httplib::Response&);
    void getInformationList(const httplib::Request&, const QueryItems&, httplib::Response&);
    void changePassword(const httplib::Request&, const QueryItems&, httplib::Response&);
    void shareInfo(const httplib::Request&, const QueryItems&, httplib::Response&);
    // Web application pages.
    void validateUser(const httplib::Request&, const QueryItems&, httplib::Response&);
    void home(const httplib::Request&, const QueryItems&, httplib::Response&);
    void detail(const httplib::Request&, const QueryItems&, httplib::Response&);
    void report(const httplib::Request&, const QueryItems&, httplib::Response&);
    void opinion(const httplib::Request&, const QueryItems&, httplib::Response&);
    void saveOpinion(const httplib::Request&, const QueryItems&, httplib::Response&);
    void message(const httplib::Request&, const QueryItems&, httplib::Response&);
    // Download server.
    void version(const httplib::Request&, const QueryItems&, httplib::Response&);
    void versionDescription(const httplib::Request&, const QueryItems&, httplib::Response&);
    void package(const httplib::Request&, const QueryItems&, httplib::Response&);
    void packageSignature(const httplib::Request&, const QueryItems&, httplib::Response&);
    // Microblog share pages.
    void sharePage(const httplib::Request&, const QueryItems&, httplib::Response&);
    void shareSuccess(const httplib::Request&, const QueryItems&, httplib::Response&);
    // Admin URLs for tests and the demo; they need the admin key ("key=...").
    bool isAdmin(const QueryItems& items, httplib::Response& response) const;
    void adminNotify(const httplib::Request&, const QueryItems&, httplib::Response&);
    void adminRequests(const httplib::Request&, const QueryItems&, httplib::Response&);

    SiteLinks linksFor(const httplib::Request& request) const;
    bool isShareHost(const httplib::Request& request) const;
    // The signed-in user of a page request, from the session cookie the start page sets.
    std::optional<QString> cookieUser(const httplib::Request& request) const;
    bool isCertified(const QString& userName) const;

    QStringList m_shareHosts;
    QString m_adminKey;
    AccountStore m_accounts;
    SessionTable m_sessions;
    NotificationQueue m_notifications;
    RequestLog m_log;
    DownloadFiles m_downloads;
    AppOperations m_app;
    AdminOperations m_admin;
    QHash<QString, Route> m_appRoutes;
    QHash<QString, Route> m_shareRoutes;
};

} // namespace quorvane
