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

namespace quorvane {

namespace {

const char* const kSessionCookie = "quorvane_token";

QString appPath(const char* path)
{
    return QLatin1String(kDefaultContextRoot) + QLatin1String(path);
}

QString downloadPath(const char* file)
{
    return QLatin1String(kDownloadPath) + QLatin1Char('/') + QLatin1String(file);
}

void replyXml(httplib::Response& response, const ReplyEnvelope& reply)
{
    response.set_content(reply.toBytes().toStdString(), ReplyEnvelope::kContentType);
}

void replyHtml(httplib::Response& response, const QString& html, int status = 200)
{
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(html.toUtf8().toStdString(), HtmlPage::kContentType);
}

void replyNotFound(httplib::Response& response)
{
    replyHtml(response,
              HtmlPage::renderNotice(QStringLiteral("页面不存在"),
                                     QStringLiteral("您访问的页面不存在或已被删除。")),
              404);
}

void replyBadLink(httplib::Response& response)
{
    replyHtml(
        response,
        HtmlPage::renderNotice(QStringLiteral("链接无效"), QStringLiteral("链接缺少参数或格式不正确。")),
        400);
}

void replySignedOut(httplib::Response& response)
{
    replyHtml(response,
              HtmlPage::renderNotice(QStringLiteral("登录已失效"),
                                     QStringLiteral("您的登录已过期，请退出客户端后重新登录。")),
              403);
}

// A value of a page request that must be present and non-empty.
std::optional<QString> nonEmpty(const std::optional<QString>& value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    return value;
}

// The host name of a Host header, without port and in lower case.
QString hostName(const std::string& header)
{
    const QString host = QString::fromLatin1(header).trimmed().toLower();
    if (host.startsWith(QLatin1Char('[')))
        return host.left(host.indexOf(QLatin1Char(']')) + 1);
    return host.section(QLatin1Char(':'), 0, 0);
}

// 128 random bits in hexadecimal.
QString newAdminKey()
{
    QRandomGenerator* random = QRandomGenerator::system();
    return QStringLiteral("%1%2")
        .arg(random->generate64(), 16, 16, QLatin1Char('0'))
        .arg(random->generate64(), 16, 16, QLatin1Char('0'));
}

} // namespace

DemoRoutes::DemoRoutes(const DemoServerOptions& options)
    : m_shareHosts(options.shareHosts),
      m_adminKey(options.adminKey.isEmpty() ? newAdminKey() : options.adminKey), m_accounts(options.dataDir),
      m_log(options.dataDir), m_downloads(options.version, options.versionDesc, options.packageFile),
      m_app(m_accounts, m_sessions, m_notifications), m_admin(m_accounts, m_notifications)
{
    for (QString& host : m_shareHosts)
        host = host.toLower();
    m_appRoutes = {
        {appPath("/users/userLogin"), &DemoRoutes::userLogin},
        {appPath("/users/weiboLogin"), &DemoRoutes::weiboLogin},
        {appPath("/users/userRegister"), &DemoRoutes::userRegister},
        {appPath("/information/getInformationList"), &DemoRoutes::getInformationList},
        {appPath("/users/changePassword"), &DemoRoutes::changePassword},
        {appPath("/personalcenter/shareInfo"), &DemoRoutes::shareInfo},
        {appPath("/users/validateUser"), &DemoRoutes::validateUser},
        {appPath("/house/home"), &DemoRoutes::home},
        {appPath("/house/detail"), &DemoRoutes::detail},
        {appPath("/house/report"), &DemoRoutes::report},
        {appPath("/users/opinion"), &DemoRoutes::opinion},
        {appPath("/users/saveOpinion"), &DemoRoutes::saveOpinion},
        {appPath("/information/message"), &DemoRoutes::message},
        {downloadPath("quorvane_version.txt"), &DemoRoutes::version},
        {downloadPath("quorvane_version_desc.txt"), &DemoRoutes::versionDescription},
        {downloadPath("quorvane_upgrade.cab"), &DemoRoutes::package},
        {downloadPath("quorvane_upgrade.cab.minisig"), &DemoRoutes::packageSignature},
        {QStringLiteral("/admin/notify"), &DemoRoutes::adminNotify},
        {QStringLiteral("/admin/requests"), &DemoRoutes::adminRequests},
    };
    m_shareRoutes = {
        {QStringLiteral("/share/share.php"), &DemoRoutes::sharePage},
        {QStringLiteral("/share/success.php"), &DemoRoutes::shareSuccess},
    };
}

void DemoRoutes::log(const httplib::Request& request)
{
    // The admin key stays out of the log: an admin URL is written without its query.
    const bool admin = request.path.rfind("/admin/", 0) == 0;
    m_log.append(request.method, admin ? request.path : request.target);
}

void DemoRoutes::handle(const httplib::Request& request, httplib::Response& response)
{
    const QHash<QString, Route>& routes = isShareHost(request) ? m_shareRoutes : m_appRoutes;
    const auto route = routes.constFind(QString::fromUtf8(request.path));
    if (route == routes.constEnd()) {
        replyNotFound(response);
        return;
    }
    (this->*(*route))(request, QueryItems::fromTarget(request.target), response);
}

void DemoRoutes::userLogin(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.userLogin(items));
}

void DemoRoutes::weiboLogin(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.weiboLogin(items));
}

void DemoRoutes::userRegister(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.userRegister(items));
}

void DemoRoutes::getInformationList(const httplib::Request&, const QueryItems& items,
                                    httplib::Response& response)
{
    replyXml(response, m_app.getInformationList(items));
}

void DemoRoutes::changePassword(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.changePassword(items));
}

void DemoRoutes::shareInfo(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.shareInfo(items));
}

void DemoRoutes::validateUser(const httplib::Request& request, const QueryItems& items,
                              httplib::Response& response)
{
    const std::optional<QString> userName = nonEmpty(items.ansiText("userName"));
    const std::optional<QString> token = nonEmpty(items.ansiText("token"));
    if (!userName || !token || !nonEmpty(items.ansiText("v"))) {
        replyBadLink(response);
        return;
    }
    if (!m_sessions.isValid(*userName, *token)) {
        replySignedOut(response);
        return;
    }
    // The web application keeps the session in a cookie, so its links need no token.
    response.set_header("Set-Cookie",
                        QStringLiteral("%1=%2; Path=%3; HttpOnly; SameSite=Lax")
                            .arg(QLatin1String(kSessionCookie), *token, QLatin1String(kDefaultContextRoot))
                            .toStdString());
    replyHtml(response, HomePages::renderHome(linksFor(request), *userName, isCertified(*userName)));
}

void DemoRoutes::home(const httplib::Request& request, const QueryItems&, httplib::Response& response)
{
    const std::optional<QString> userName = cookieUser(request);
    if (!userName) {
        replySignedOut(response);
        return;
    }
    replyHtml(response, HomePages::renderHome(linksFor(request), *userName, isCertified(*userName)));
}

void DemoRoutes::detail(const httplib::Request& request, const QueryItems& items, httplib::Response& response)
{
    const std::optional<QString> userName = cookieUser(request);
    if (!userName) {
        replySignedOut(response);
        return;
    }
    bool ok = false;
    const std::optional<HouseListing> listing =
        HousePrices::find(items.utf8Text("id").value_or(QString()).toInt(&ok));
    if (!ok || !listing) {
        replyNotFound(response);
        return;
    }
    replyHtml(response,
              HomePages::renderDetail(linksFor(request), *userName, isCertified(*userName), *listing));
}

void DemoRoutes::report(const httplib::Request& request, const QueryItems& items, httplib::Response& response)
{
    const QString code = items.utf8Text("district").value_or(QString());
    const std::optional<QString> name = HousePrices::districtName(code);
    if (!name) {
        replyNotFound(response);
        return;
    }
    replyHtml(response, ServicePages::renderReport(linksFor(request), code, *name));
}

void DemoRoutes::opinion(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    const std::optional<QString> userName = nonEmpty(items.ansiText("userName"));
    const std::optional<QString> token = nonEmpty(items.ansiText("token"));
    if (!userName || !token) {
        replyBadLink(response);
        return;
    }
    if (!m_sessions.isValid(*userName, *token)) {
        replySignedOut(response);
        return;
    }
    replyHtml(response, ServicePages::renderOpinion(*userName, *token));
}

void DemoRoutes::saveOpinion(const httplib::Request& request, const QueryItems& items,
                             httplib::Response& response)
{
    // The form sends UTF-8; the content itself stays in the request log.
    const std::optional<QString> userName = nonEmpty(items.utf8Text("userName"));
    const std::optional<QString> token = nonEmpty(items.utf8Text("token"));
    if (!userName || !token || !nonEmpty(items.utf8Text("content"))) {
        replyBadLink(response);
        return;
    }
    if (!m_sessions.isValid(*userName, *token)) {
        replySignedOut(response);
        return;
    }
    replyHtml(response, ServicePages::renderOpinionThanks(linksFor(request), *userName, *token));
}

void DemoRoutes::message(const httplib::Request& request, const QueryItems& items,
                         httplib::Response& response)
{
    bool ok = false;
    const int id = items.utf8Text("id").value_or(QString()).toInt(&ok);
    const std::optional<QString> page = ok ? NotificationPages::render(linksFor(request), id) : std::nullopt;
    if (!page) {
        replyNotFound(response);
        return;
    }
    replyHtml(response, *page);
}

void DemoRoutes::version(const httplib::Request&, const QueryItems&, httplib::Response& response)
{
    response.set_content(m_downloads.versionBody().toStdString(), "text/plain; charset=GBK");
}

void DemoRoutes::versionDescription(const httplib::Request&, const QueryItems&, httplib::Response& response)
{
    response.set_content(m_downloads.descriptionBody().toStdString(), "text/plain; charset=GBK");
}

void DemoRoutes::package(const httplib::Request&, const QueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> package = m_downloads.packageBody();
    if (!package) {
        replyNotFound(response);
        return;
    }
    response.set_content(package->toStdString(), "application/vnd.ms-cab-compressed");
}

void DemoRoutes::packageSignature(const httplib::Request&, const QueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> signature = m_downloads.signatureBody();
    if (!signature) {
        replyNotFound(response);
        return;
    }
    response.set_content(signature->toStdString(), "text/plain");
}

void DemoRoutes::sharePage(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    const std::optional<QString> url = nonEmpty(items.utf8Text("url"));
    if (!url) {
        replyBadLink(response);
        return;
    }
    replyHtml(response, SharePages::renderShare(*url, items.utf8Text("title").value_or(QString()),
                                                items.utf8Text("shareType").value_or(QString())));
}

void DemoRoutes::shareSuccess(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    replyHtml(response, SharePages::renderSuccess(items.utf8Text("urlpara").value_or(QString())));
}

bool DemoRoutes::isAdmin(const QueryItems& items, httplib::Response& response) const
{
    if (items.utf8Text("key") == m_adminKey)
        return true;
    response.status = 403;
    response.set_content("the admin URLs need the key the server printed at start",
                         "text/plain; charset=UTF-8");
    return false;
}

bool DemoRoutes::isOwnHost(const httplib::Request& request, int port) const
{
    const QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed().toLower();
    const QString withPort = QStringLiteral(":%1").arg(port);
    if (host == QStringLiteral("127.0.0.1") + withPort || host == QStringLiteral("localhost") + withPort)
        return true;
    return m_shareHosts.contains(hostName(request.get_header_value("Host")));
}

void DemoRoutes::adminNotify(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    if (!isAdmin(items, response))
        return;
    replyXml(response, m_admin.queueNotification(items));
}

void DemoRoutes::adminRequests(const httplib::Request&, const QueryItems& items, httplib::Response& response)
{
    if (!isAdmin(items, response))
        return;
    response.set_header("Cache-Control", "no-store");
    response.set_content(m_log.contents().toStdString(), "text/plain; charset=UTF-8");
}

SiteLinks DemoRoutes::linksFor(const httplib::Request& request) const
{
    // Links point back at the address the client used; a Host header that is no plain host and
    // port falls back to the listening address.
    const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9.\\-]+(:[0-9]{1,5})?$"));
    QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed();
    if (!plainHost.match(host).hasMatch())
        host = QStringLiteral("127.0.0.1:") + QString::number(request.local_port);
    return {QStringLiteral("http://") + host + QLatin1String(kDefaultContextRoot), m_shareHosts.first()};
}

bool DemoRoutes::isShareHost(const httplib::Request& request) const
{
    return m_shareHosts.contains(hostName(request.get_header_value("Host")));
}

std::optional<QString> DemoRoutes::cookieUser(const httplib::Request& request) const
{
    const QString cookies = QString::fromLatin1(request.get_header_value("Cookie"));
    for (const QString& cookie : cookies.split(QLatin1Char(';'))) {
        const QString trimmed = cookie.trimmed();
        const QString prefix = QLatin1String(kSessionCookie) + QLatin1Char('=');
        if (trimmed.startsWith(prefix))
            return m_sessions.userOf(trimmed.mid(prefix.size()));
    }
    return std::nullopt;
}

bool DemoRoutes::isCertified(const QString& userName) const
{
    const std::optional<Account> account = m_accounts.find(userName);
    return account && account->role == QLatin1String("2");
}

} // namespace quorvane
