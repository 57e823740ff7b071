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

QString appPath(const char* path)
{
    return QLatin1String(kDefaultContextRoot) + QLatin1String(path);
}

QString downloadPath(const char* file)
{
    return QLatin1String(kDownloadPath) + QLatin1Char('/') + QLatin1String(file);
}

void replyXml(httplib::Response& response, const TReplyEnvelope& reply)
{
    response.set_content(reply.toBytes().toStdString(), TReplyEnvelope::kContentType);
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

TDemoRoutes::TDemoRoutes(const TDemoServerOptions& options)
    : m_shareHosts(options.shareHosts),
      m_adminKey(options.adminKey.isEmpty() ? newAdminKey() : options.adminKey), m_accounts(options.dataDir),
      m_log(options.dataDir), m_downloads(options.version, options.versionDesc, options.packageFile),
      m_app(m_accounts, m_sessions, m_notifications), m_admin(m_accounts, m_notifications)
{
    for (QString& host : m_shareHosts)
        host = host.toLower();
    m_appRoutes = {
        {appPath("/users/userLogin"), &TDemoRoutes::userLogin},
        {appPath("/users/weiboLogin"), &TDemoRoutes::weiboLogin},
        {appPath("/users/userRegister"), &TDemoRoutes::userRegister},
        {appPath("/information/getInformationList"), &TDemoRoutes::getInformationList},
        {appPath("/users/changePassword"), &TDemoRoutes::changePassword},
        {appPath("/personalcenter/shareInfo"), &TDemoRoutes::shareInfo},
        {appPath("/users/validateUser"), &TDemoRoutes::validateUser},
        {appPath("/house/home"), &TDemoRoutes::home},
        {appPath("/house/detail"), &TDemoRoutes::detail},
        {appPath("/house/report"), &TDemoRoutes::report},
        {appPath("/users/opinion"), &TDemoRoutes::opinion},
        {appPath("/users/saveOpinion"), &TDemoRoutes::saveOpinion},
        {appPath("/information/message"), &TDemoRoutes::message},
        {downloadPath("quorvane_version.txt"), &TDemoRoutes::version},
        {downloadPath("quorvane_version_desc.txt"), &TDemoRoutes::versionDescription},
        {downloadPath("quorvane_upgrade.cab"), &TDemoRoutes::package},
        {downloadPath("quorvane_upgrade.cab.minisig"), &TDemoRoutes::packageSignature},
        {QStringLiteral("/admin/notify"), &TDemoRoutes::adminNotify},
        {QStringLiteral("/admin/requests"), &TDemoRoutes::adminRequests},
    };
    m_shareRoutes = {
        {QStringLiteral("/share/share.php"), &TDemoRoutes::sharePage},
        {QStringLiteral("/share/success.php"), &TDemoRoutes::shareSuccess},
    };
}

void TDemoRoutes::log(const httplib::Request& request)
{
    // The admin key stays out of the log: an admin URL is written without its query.
    const bool admin = request.path.rfind("/admin/", 0) == 0;
    m_log.append(request.method, admin ? request.path : request.target);
}

void TDemoRoutes::handle(const httplib::Request& request, httplib::Response& response)
{
    const QHash<QString, TRoute>& routes = isShareHost(request) ? m_shareRoutes : m_appRoutes;
    const auto route = routes.constFind(QString::fromUtf8(request.path));
    if (route == routes.constEnd()) {
        replyNotFound(response);
        return;
    }
    (this->*(*route))(request, TQueryItems::fromTarget(request.target), response);
}

void TDemoRoutes::userLogin(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.userLogin(items));
}

void TDemoRoutes::weiboLogin(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.weiboLogin(items));
}

void TDemoRoutes::userRegister(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.userRegister(items));
}

void TDemoRoutes::getInformationList(const httplib::Request&, const TQueryItems& items,
                                     httplib::Response& response)
{
    replyXml(response, m_app.getInformationList(items));
}

void TDemoRoutes::changePassword(const httplib::Request&, const TQueryItems& items,
                                 httplib::Response& response)
{
    replyXml(response, m_app.changePassword(items));
}

void TDemoRoutes::shareInfo(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    replyXml(response, m_app.shareInfo(items));
}

void TDemoRoutes::validateUser(const httplib::Request& request, const TQueryItems& items,
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

void TDemoRoutes::home(const httplib::Request& request, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QString> userName = cookieUser(request);
    if (!userName) {
        replySignedOut(response);
        return;
    }
    replyHtml(response, HomePages::renderHome(linksFor(request), *userName, isCertified(*userName)));
}

void TDemoRoutes::detail(const httplib::Request& request, const TQueryItems& items,
                         httplib::Response& response)
{
    const std::optional<QString> userName = cookieUser(request);
    if (!userName) {
        replySignedOut(response);
        return;
    }
    bool ok = false;
    const std::optional<THouseListing> listing =
        HousePrices::find(items.utf8Text("id").value_or(QString()).toInt(&ok));
    if (!ok || !listing) {
        replyNotFound(response);
        return;
    }
    replyHtml(response,
              HomePages::renderDetail(linksFor(request), *userName, isCertified(*userName), *listing));
}

void TDemoRoutes::report(const httplib::Request& request, const TQueryItems& items,
                         httplib::Response& response)
{
    const QString code = items.utf8Text("district").value_or(QString());
    const std::optional<QString> name = HousePrices::districtName(code);
    if (!name) {
        replyNotFound(response);
        return;
    }
    replyHtml(response, ServicePages::renderReport(linksFor(request), code, *name));
}

void TDemoRoutes::opinion(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
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

void TDemoRoutes::saveOpinion(const httplib::Request& request, const TQueryItems& items,
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

void TDemoRoutes::message(const httplib::Request& request, const TQueryItems& items,
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

void TDemoRoutes::version(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    response.set_content(m_downloads.versionBody().toStdString(), "text/plain; charset=GBK");
}

void TDemoRoutes::versionDescription(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    response.set_content(m_downloads.descriptionBody().toStdString(), "text/plain; charset=GBK");
}

void TDemoRoutes::package(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> package = m_downloads.packageBody();
    if (!package) {
        replyNotFound(response);
        return;
    }
    response.set_content(package->toStdString(), "application/vnd.ms-cab-compressed");
}

void TDemoRoutes::packageSignature(const httplib::Request&, const TQueryItems&, httplib::Response& response)
{
    const std::optional<QByteArray> signature = m_downloads.signatureBody();
    if (!signature) {
        replyNotFound(response);
        return;
    }
    response.set_content(signature->toStdString(), "text/plain");
}

void TDemoRoutes::sharePage(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    const std::optional<QString> url = nonEmpty(items.utf8Text("url"));
    if (!url) {
        replyBadLink(response);
        return;
    }
    replyHtml(response, SharePages::renderShare(*url, items.utf8Text("title").value_or(QString()),
                                                items.utf8Text("shareType").value_or(QString())));
}

void TDemoRoutes::shareSuccess(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    replyHtml(response, SharePages::renderSuccess(items.utf8Text("urlpara").value_or(QString())));
}

bool TDemoRoutes::isAdmin(const TQueryItems& items, httplib::Response& response) const
{
    if (items.utf8Text("key") == m_adminKey)
        return true;
    response.status = 403;
    response.set_content("the admin URLs need the key the server printed at start",
                         "text/plain; charset=UTF-8");
    return false;
}

bool TDemoRoutes::isOwnHost(const httplib::Request& request, int port) const
{
    const QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed().toLower();
    const QString withPort = QStringLiteral(":%1").arg(port);
    if (host == QStringLiteral("127.0.0.1") + withPort || host == QStringLiteral("localhost") + withPort)
        return true;
    return m_shareHosts.contains(hostName(request.get_header_value("Host")));
}

void TDemoRoutes::adminNotify(const httplib::Request&, const TQueryItems& items, httplib::Response& response)
{
    if (!isAdmin(items, response))
        return;
    replyXml(response, m_admin.queueNotification(items));
}

void TDemoRoutes::adminRequests(const httplib::Request&, const TQueryItems& items,
                                httplib::Response& response)
{
    if (!isAdmin(items, response))
        return;
    response.set_header("Cache-Control", "no-store");
    response.set_content(m_log.contents().toStdString(), "text/plain; charset=UTF-8");
}

TSiteLinks TDemoRoutes::linksFor(const httplib::Request& request) const
{
    // Links point back at the address the client used; a Host header that is no plain host and
    // port falls back to the listening address.
    const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9.\\-]+(:[0-9]{1,5})?$"));
    QString host = QString::fromLatin1(request.get_header_value("Host")).trimmed();
    if (!plainHost.match(host).hasMatch())
        host = QStringLiteral("127.0.0.1:") + QString::number(request.local_port);
    return {QStringLiteral("http://") + host + QLatin1String(kDefaultContextRoot), m_shareHosts.first()};
}

bool TDemoRoutes::isShareHost(const httplib::Request& request) const
{
    return m_shareHosts.contains(hostName(request.get_header_value("Host")));
}

std::optional<QString> TDemoRoutes::cookieUser(const httplib::Request& request) const
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

bool TDemoRoutes::isCertified(const QString& userName) const
{
    const std::optional<TAccount> account = m_accounts.find(userName);
    return account && account->role == QLatin1String("2");
}
