#include "devserver/DemoRoutes.h"

#include "config/ServerDefaults.h"
#include "devserver/HomePages.h"
#include "devserver/HousePrices.h"
#include "devserver/HtmlPage.h"
#include "devserver/NotificationPages.h"
#include "devserver/ServicePages.h"
#include "devserver/SharePages.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const char* const kSessionCookie = "quorvane_token";

QString AppPath(const char* path)
{
    return QLatin1String(kDefaultContextRoot) + QLatin1String(path);
}

QString DownloadPath(const char* file)
{
    return QLatin1String(kDownloadPath) + QLatin1Char('/') + QLatin1String(file);
}

void ReplyXml(httplib::Response& response, const TReplyEnvelope& reply)
{
    response.set_content(reply.ToBytes().toStdString(), TReplyEnvelope::kContentType);
}

void ReplyHtml(httplib::Response& response, const QString& html, int status = 200)
{
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(html.toUtf8().toStdString(), HtmlPage::kContentType);
}

void ReplyNotFound(httplib::Response& response)
{
    ReplyHtml(response,
              HtmlPage::RenderNotice(QStringLiteral("页面不存在"),
                                     QStringLiteral("您访问的页面不存在或已被删除。")),
              404);
}

void ReplyBadLink(httplib::Response& response)
{
    ReplyHtml(
        response,
        HtmlPage::RenderNotice(QStringLiteral("链接无效"), QStringLiteral("链接缺少参数或格式不正确。")),
        400);
}

void ReplySignedOut(httplib::Response& response)
{
    ReplyHtml(response,
              HtmlPage::RenderNotice(QStringLiteral("登录已失效"),
                                     QStringLiteral("您的登录已过期，请退出客户端后重新登录。")),
              403);
}

// A value of a page request that must be present and non-empty.
std::optional<QString> NonEmpty(const std::optional<QString>& value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    return value;
}

// The host name of a Host header, without port and in lower case.
QString HostName(const std::string& header)
{
    const QString host = QString::fromLatin1(header).trimmed().toLower();
    if (host.startsWith(QLatin1Char('[')))
        return host.left(host.indexOf(QLatin1Char(']')) + 1);
    return host.section(QLatin1Char(':'), 0, 0);
}

// 128 random bits in hexadecimal.
QString NewAdminKey()
{
    QRandomGenerator* random = QRandomGenerator::system();
    return QStringLiteral("%1%2")
        .arg(random->generate64(), 16, 16, QLatin1Char('0'))
        .arg(random->generate64(), 16, 16, QLatin1Char('0'));
}

} // namespace

TDemoRoutes::TDemoRoutes(const TDemoServerOptions& options)
    : shareHosts_(options.shareHosts),
      adminKey_(options.adminKey.isEmpty() ? NewAdminKey() : options.adminKey), accounts_(options.dataDir),
      log_(options.dataDir), downloads_(options.version, options.versionDesc, options.packageFile),
      app_(accounts_, sessions_, notifications_), admin_(accounts_, notifications_)
{
    for (QString& host : shareHosts_)
        host = host.toLower();
    appRoutes_ = {
        {AppPath("/users/userLogin"), &TDemoRoutes::UserLogin},
        {AppPath("/users/weiboLogin"), &TDemoRoutes::WeiboLogin},
        {AppPath("/users/userRegister"), &TDemoRoutes::UserRegister},
        {AppPath("/information/getInformationList"), &TDemoRoutes::GetInformationList},
        {AppPath("/users/changePassword"), &TDemoRoutes::ChangePassword},
        {AppPath("/personalcenter/shareInfo"), &TDemoRoutes::ShareInfo},
        {AppPath("/users/validateUser"), &TDemoRoutes::ValidateUser},
        {AppPath("/house/home"), &TDemoRoutes::Home},
        {AppPath("/house/detail"), &TDemoRoutes::Detail},
        {AppPath("/house/report"), &TDemoRoutes::Report},
        {AppPath("/users/opinion"), &TDemoRoutes::Opinion},
        {AppPath("/users/saveOpinion"), &TDemoRoutes::SaveOpinion},
        {AppPath("/information/message"), &TDemoRoutes::Message},
        {DownloadPath("quorvane_version.txt"), &TDemoRoutes::Version},
        {DownloadPath("quorvane_version_desc.txt"), &TDemoRoutes::VersionDescription},
        {DownloadPath("quorvane_upgrade.cab"), &TDemoRoutes::Package},
        {DownloadPath("quorvane_upgrade.cab.minisig"), &TDemoRoutes::PackageSignature},
        {QStringLiteral("/admin/notify"), &TDemoRoutes::AdminNotify},
        {QStringLiteral("/admin/requests"), &TDemoRoutes::AdminRequests},
    };
    shareRoutes_ = {
        {QStringLiteral("/share/share.php"), &TDemoRoutes::SharePage},
        {QStringLiteral("/share/success.php"), &TDemoRoutes::ShareSuccess},
    };
}

void TDemoRoutes::Log(const httplib::Request& request)
{
    // The admin key stays out of the log: an admin URL is written without its query.
    const bool admin = request.path.rfind("/admin/", 0) == 0;
    log_.Append(request.method, admin ? request.path : request.target);
}

void TDemoRoutes::Handle(const httplib::Request& request, httplib::Response& response)
{
    const QHash<QString, TRoute>& routes = IsShareHost(request) ? shareRoutes_ : appRoutes_;
    const auto route = routes.constFind(QString::fromUtf8(request.path));
    if (route == routes.constEnd()) {
        ReplyNotFound(response);
        return;
    }
    (this->*(*route))(request, TQueryItems::FromTarget(request.target), response);
}

void TDemoRoutes::UserLogin(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    ReplyXml(response, app_.UserLogin(items));
}

void TDemoRoutes::WeiboLogin(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    ReplyXml(response, app_.WeiboLogin(items));
}

void TDemoRoutes::UserRegister(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    ReplyXml(response, app_.UserRegister(items));
}

void TDemoRoutes::GetInformationList(const httplib::Request&, const TQueryItems& items,
                                     httplib::Response& response)
{
    ReplyXml(response, app_.GetInformationList(items));
}

void TDemoRoutes::ChangePassword(const httplib::Request&, const TQueryItems& items,
                                 httplib::Response& response)
{
    ReplyXml(response, app_.ChangePassword(items));
}

void TDemoRoutes::ShareInfo(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    ReplyXml(response, app_.ShareInfo(items));
}

void TDemoRoutes::ValidateUser(const httplib::Request& request, const TQueryItems& items,
                               httplib::Response& response)
{
    const std::optional<QString> userName = NonEmpty(items.AnsiText("userName"));
    const std::optional<QString> token = NonEmpty(items.AnsiText("token"));
    if (!userName || !token || !NonEmpty(items.AnsiText("v"))) {
        ReplyBadLink(response);
        return;
    }
    if (!sessions_.IsValid(*userName, *token)) {
        ReplySignedOut(response);
        return;
    }
    // The web application keeps the session in a cookie, so its links need no token.
    response.set_header("Set-Cookie",
                        QStringLiteral("%1=%2; Path=%3; HttpOnly; SameSite=Lax")
                            .arg(QLatin1String(kSessionCookie), *token, QLatin1String(kDefaultContextRoot))
                            .toStdString());
    ReplyHtml(response, HomePages::RenderHome(LinksFor(request), *userName, IsCertified(*userName)));
}

void TDemoRoutes::Home(const httplib::Request& request, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QString> userName = CookieUser(request);
    if (!userName) {
        ReplySignedOut(response);
        return;
    }
    ReplyHtml(response, HomePages::RenderHome(LinksFor(request), *userName, IsCertified(*userName)));
}

void TDemoRoutes::Detail(const httplib::Request& request, const TQueryItems& items,
                         httplib::Response& response)
{
    const std::optional<QString> userName = CookieUser(request);
    if (!userName) {
        ReplySignedOut(response);
        return;
    }
    bool ok = false;
    const std::optional<THouseListing> listing =
        HousePrices::Find(items.Utf8Text("id").value_or(QString()).toInt(&ok));
    if (!ok || !listing) {
        ReplyNotFound(response);
        return;
    }
    ReplyHtml(response,
              HomePages::RenderDetail(LinksFor(request), *userName, IsCertified(*userName), *listing));
}

void TDemoRoutes::Report(const httplib::Request& request, const TQueryItems& items,
                         httplib::Response& response)
{
    const QString code = items.Utf8Text("district").value_or(QString());
    const std::optional<QString> name = HousePrices::DistrictName(code);
    if (!name) {
        ReplyNotFound(response);
        return;
    }
    ReplyHtml(response, ServicePages::RenderReport(LinksFor(request), code, *name));
}

void TDemoRoutes::Opinion(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    const std::optional<QString> userName = NonEmpty(items.AnsiText("userName"));
    const std::optional<QString> token = NonEmpty(items.AnsiText("token"));
    if (!userName || !token) {
        ReplyBadLink(response);
        return;
    }
    if (!sessions_.IsValid(*userName, *token)) {
        ReplySignedOut(response);
        return;
    }
    ReplyHtml(response, ServicePages::RenderOpinion(*userName, *token));
}

void TDemoRoutes::SaveOpinion(const httplib::Request& request, const TQueryItems& items,
                              httplib::Response& response)
{
    // The form sends UTF-8; the content itself stays in the request log.
    const std::optional<QString> userName = NonEmpty(items.Utf8Text("userName"));
    const std::optional<QString> token = NonEmpty(items.Utf8Text("token"));
    if (!userName || !token || !NonEmpty(items.Utf8Text("content"))) {
        ReplyBadLink(response);
        return;
    }
    if (!sessions_.IsValid(*userName, *token)) {
        ReplySignedOut(response);
        return;
    }
    ReplyHtml(response, ServicePages::RenderOpinionThanks(LinksFor(request), *userName, *token));
}

void TDemoRoutes::Message(const httplib::Request& request, const TQueryItems& items,
                          httplib::Response& response)
{
    bool ok = false;
    const int id = items.Utf8Text("id").value_or(QString()).toInt(&ok);
    const std::optional<QString> page = ok ? NotificationPages::Render(LinksFor(request), id) : std::nullopt;
    if (!page) {
        ReplyNotFound(response);
        return;
    }
    ReplyHtml(response, *page);
}

void TDemoRoutes::Version(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    response.set_content(downloads_.VersionBody().toStdString(), "text/plain; charset=GBK");
}

void TDemoRoutes::VersionDescription(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    response.set_content(downloads_.DescriptionBody().toStdString(), "text/plain; charset=GBK");
}

void TDemoRoutes::Package(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> package = downloads_.PackageBody();
    if (!package) {
        ReplyNotFound(response);
        return;
    }
    response.set_content(package->toStdString(), "application/vnd.ms-cab-compressed");
}

void TDemoRoutes::PackageSignature(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> signature = downloads_.SignatureBody();
    if (!signature) {
        ReplyNotFound(response);
        return;
    }
    response.set_content(signature->toStdString(), "text/plain");
}

void TDemoRoutes::SharePage(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    const std::optional<QString> url = NonEmpty(items.Utf8Text("url"));
    if (!url) {
        ReplyBadLink(response);
        return;
    }
    ReplyHtml(response, SharePages::RenderShare(*url, items.Utf8Text("title").value_or(QString()),
                                                items.Utf8Text("shareType").value_or(QString())));
}

void TDemoRoutes::ShareSuccess(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    ReplyHtml(response, SharePages::RenderSuccess(items.Utf8Text("urlpara").value_or(QString())));
}

bool TDemoRoutes::IsAdmin(const TQueryItems& items, httplib::Response& response) const
{
    if (items.Utf8Text("key") == adminKey_)
        return true;
    response.status = 403;
    response.set_content("the admin URLs need the key the server printed at start",
                         "text/plain; charset=UTF-8");
    return false;
}

bool TDemoRoutes::IsOwnHost(const httplib::Request& request, int port) const
{
    const QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed().toLower();
    const QString withPort = QStringLiteral(":%1").arg(port);
    if (host == QStringLiteral("127.0.0.1") + withPort || host == QStringLiteral("localhost") + withPort)
        return true;
    return shareHosts_.contains(HostName(request.get_header_value("Host")));
}

void TDemoRoutes::AdminNotify(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    if (!IsAdmin(items, response))
        return;
    ReplyXml(response, admin_.QueueNotification(items));
}

void TDemoRoutes::AdminRequests(const httplib::Request&, const TQueryItems& items,
                                httplib::Response& response)
{
    if (!IsAdmin(items, response))
        return;
    response.set_header("Cache-Control", "no-store");
    response.set_content(log_.Contents().toStdString(), "text/plain; charset=UTF-8");
}

TSiteLinks TDemoRoutes::LinksFor(const httplib::Request& request) const
{
    // Links point back at the address the client used; a Host header that is no plain host and
    // port falls back to the listening address.
    const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9.\\-]+(:[0-9]{1,5})?$"));
    QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed();
    if (!plainHost.match(host).hasMatch())
        host = QStringLiteral("127.0.0.1:") + QString::number(request.local_port);
    return {QStringLiteral("http://") + host + QLatin1String(kDefaultContextRoot), shareHosts_.first()};
}

bool TDemoRoutes::IsShareHost(const httplib::Request& request) const
{
    return shareHosts_.contains(HostName(request.get_header_value("Host")));
}

std::optional<QString> TDemoRoutes::CookieUser(const httplib::Request& request) const
{
    const QString cookies = QString::fromLatin1(request.get_header_value("Cookie"));
    for (const QString& cookie : cookies.split(QLatin1Char(';'))) {
        const QString trimmed = cookie.trimmed();
        const QString prefix = QLatin1String(kSessionCookie) + QLatin1Char('=');
        if (trimmed.startsWith(prefix))
            return sessions_.UserOf(trimmed.mid(prefix.size()));
    }
    return std::nullopt;
}

bool TDemoRoutes::IsCertified(const QString& userName) const
{
    const std::optional<TAccount> account = accounts_.Find(userName);
    return account && account->role == QLatin1String("2");
}
