#include "ui/chrome/ClientUrl.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Shell.h"
#include "ui/chrome/PageOrigin.h"

#include <QDebug>
#include <QUrl>
#include <QUrlQuery>

namespace quorvane {

namespace {

const QString kPrefix = QStringLiteral("vemtraclient://");

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The number written by `digits` hexadecimal digits at `from`, or -1 when any of them is missing
// or not hexadecimal.
int readHex(const QString& text, qsizetype from, int digits)
{
    if (from + digits > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = hexDigit(text[from + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// True when some "%" of the text starts no escape of two hexadecimal digits.
bool hasStrayPercent(const QString& text)
{
    for (qsizetype i = text.indexOf(QLatin1Char('%')); i >= 0; i = text.indexOf(QLatin1Char('%'), i + 1)) {
        if (readHex(text, i + 1, 2) < 0)
            return true;
    }
    return false;
}

void mainWindowAction(const QString& action, const NameValueList& items, const ClientUrlActions& actions)
{
    if (action == QLatin1String("close")) {
        if (actions.close)
            actions.close();
    } else if (action == QLatin1String("open")) {
        openClientUrlTarget(decodeClientUrlValue(items.value(QStringLiteral("url"))));
    }
}

void notificationWindowAction(const QString& action, const NameValueList& items,
                              const ClientUrlActions& actions)
{
    if (action == QLatin1String("show")) {
        // The page names a path below the application root, used as it stands.
        const QString target =
            ConfigStore().getAppUrl() + QLatin1Char('/') + items.value(QStringLiteral("url"));
        if (actions.show)
            actions.show(target);
    } else if (action == QLatin1String("open")) {
        openClientUrlTarget(decodeClientUrlValue(items.value(QStringLiteral("url"))));
    }
}

} // namespace

bool isClientUrl(const QString& url)
{
    return url.startsWith(kPrefix);
}

QString clientUrlAsWritten(const QString& reportedUrl)
{
    const qsizetype question = reportedUrl.indexOf(QLatin1Char('?'));
    if (question < 0)
        return reportedUrl;
    qsizetype end = reportedUrl.indexOf(QLatin1Char('#'), question);
    if (end < 0)
        end = reportedUrl.size();
    const QString query = reportedUrl.mid(question + 1, end - question - 1);
    if (!query.contains(QLatin1Char('%')))
        return reportedUrl;
    // Escaped wholesale, every "%" has become "%25".
    for (qsizetype i = query.indexOf(QLatin1Char('%')); i >= 0; i = query.indexOf(QLatin1Char('%'), i + 1)) {
        if (query.mid(i + 1, 2) != QLatin1String("25"))
            return reportedUrl;
    }
    QString written = query;
    written.replace(QLatin1String("%25"), QLatin1String("%"));
    // Only a text with a stray "%" is escaped wholesale; any other was reported as written.
    if (!hasStrayPercent(written))
        return reportedUrl;
    return reportedUrl.left(question + 1) + written + reportedUrl.mid(end);
}

QString decodeClientUrlValue(const QString& value)
{
    QString decoded;
    decoded.reserve(value.size());
    qsizetype pos = 0;
    while (pos < value.size()) {
        const QChar c = value[pos];
        if (c != QLatin1Char('%')) {
            decoded += c;
            ++pos;
            continue;
        }
        const bool wide = pos + 1 < value.size() &&
                          (value[pos + 1] == QLatin1Char('u') || value[pos + 1] == QLatin1Char('U'));
        const int code = wide ? readHex(value, pos + 2, 4) : readHex(value, pos + 1, 2);
        if (code >= 0)
            decoded += QChar(static_cast<char16_t>(code));
        // A sequence that is not hexadecimal goes with the characters it claimed.
        pos += wide ? 6 : 3;
    }
    // The shell reads the text in the system code page, up to its first NUL.
    const QByteArray ansi = toAnsi(decoded);
    return fromAnsi(ansi.left(ansi.indexOf('\0') < 0 ? ansi.size() : ansi.indexOf('\0')));
}

bool isShellOpenable(const QString& target)
{
    // Parsed as the shell will parse it when it opens the address.
    const QUrl url(target);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return false;
}

QString mailtoWithSubjectAndBody(const QString& target)
{
    QUrl url(target);
    if (url.scheme().toLower() != QLatin1String("mailto"))
        return target;
    const QUrlQuery asked(url);
    QUrlQuery kept;
    for (const auto& [name, value] : asked.queryItems(QUrl::FullyEncoded)) {
        const QString lower = name.toLower();
        if (lower == QLatin1String("subject") || lower == QLatin1String("body"))
            kept.addQueryItem(name, value);
    }
    url.setQuery(kept.isEmpty() ? QString() : kept.query(QUrl::FullyEncoded), QUrl::StrictMode);
    if (kept.isEmpty())
        url.setQuery(QString());
    return url.toString(QUrl::FullyEncoded);
}

bool openClientUrlTarget(const QString& target)
{
    if (!isShellOpenable(target))
        return false;
    // The shell's answer is of no interest: nothing is reported either way.
    openInDefaultBrowser(mailtoWithSubjectAndBody(target));
    return true;
}

bool mayActOnClientUrl(bool mainFrame, const QUrl& pageUrl)
{
    if (mainFrame && isApplicationOrigin(pageUrl))
        return true;
    qWarning().noquote() << "Client URL refused: it came from"
                         << (mainFrame ? "the page" : "a frame of the page") << pageUrl.toString()
                         << (mainFrame ? "of another site" : "");
    return false;
}

bool handleClientUrl(const QString& url, ClientUrlListener listener, const ClientUrlActions& actions)
{
    if (!isClientUrl(url))
        return false;
    const NameValueList items = parseClientUrl(clientUrlAsWritten(url));
    // Action names are compared exactly; a name the window does not know does nothing.
    const QString action = items.value(QStringLiteral("actionName"));
    if (listener == ClientUrlListener::MainWindow)
        mainWindowAction(action, items, actions);
    else
        notificationWindowAction(action, items, actions);
    return true;
}

} // namespace quorvane
