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

// Which answer each request gets: the request's host and path choose a route, the route reads the
// query and answers with a reply envelope, a page or a file. Unknown paths answer 404.
class TDemoRoutes final
{
public:
    // Raises TFailure when the account store or the request log cannot be opened.
    explicit TDemoRoutes(const TDemoServerOptions& options);
    Q_DISABLE_COPY_MOVE(TDemoRoutes)

    // Every request is logged before it is answered, so the log is complete when the reply arrives.
    void Log(const httplib::Request& request);

    void Handle(const httplib::Request& request, httplib::Response& response);

    // Whether a request's Host header names this server: 127.0.0.1 or localhost with its port
    // `port`, or one of the share hosts. Any other name reached it through a DNS name that
    // resolves to this machine (a page of another site rebinding its name) and is refused.
    bool IsOwnHost(const httplib::Request& request, int port) const;

    // The key the admin URLs need.
    const QString& AdminKey() const { return adminKey_; }

private:
    using TRoute = void (TDemoRoutes::*)(const httplib::Request&, const TQueryItems&, httplib::Response&);

    // Application server operations.
    void UserLogin(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void WeiboLogin(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void UserRegister(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void GetInformationList(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void ChangePassword(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void ShareInfo(const httplib::Request&, const TQueryItems&, httplib::Response&);
    // Web application pages.
    void ValidateUser(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Home(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Detail(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Report(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Opinion(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void SaveOpinion(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Message(const httplib::Request&, const TQueryItems&, httplib::Response&);
    // Download server.
    void Version(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void VersionDescription(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void Package(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void PackageSignature(const httplib::Request&, const TQueryItems&, httplib::Response&);
    // Microblog share pages.
    void SharePage(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void ShareSuccess(const httplib::Request&, const TQueryItems&, httplib::Response&);
    // Admin URLs for tests and the demo; they need the admin key ("key=...").
    bool IsAdmin(const TQueryItems& items, httplib::Response& response) const;
    void AdminNotify(const httplib::Request&, const TQueryItems&, httplib::Response&);
    void AdminRequests(const httplib::Request&, const TQueryItems&, httplib::Response&);

    TSiteLinks LinksFor(const httplib::Request& request) const;
    bool IsShareHost(const httplib::Request& request) const;
    // The signed-in user of a page request, from the session cookie the start page sets.
    std::optional<QString> CookieUser(const httplib::Request& request) const;
    bool IsCertified(const QString& userName) const;

    QStringList shareHosts_;
    QString adminKey_;
    TAccountStore accounts_;
    TSessionTable sessions_;
    TNotificationQueue notifications_;
    TRequestLog log_;
    TDownloadFiles downloads_;
    TAppOperations app_;
    TAdminOperations admin_;
    QHash<QString, TRoute> appRoutes_;
    QHash<QString, TRoute> shareRoutes_;
};
