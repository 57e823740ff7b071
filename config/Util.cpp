#include "config/Util.h"

#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "platform/PrivateFiles.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

namespace quorvane {

namespace {

constexpr qsizetype kUnscrambleBufferSize = 512;

char keyByte(const QByteArray& key, qsizetype i)
{
    return key.isEmpty() ? char(0) : key[i % key.size()];
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray scrambleText(const QByteArray& key, const QByteArray& data)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(data.size() * 2);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i] ^ keyByte(key, i));
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

QByteArray unscrambleText(const QByteArray& key, const QByteArray& text)
{
    unsigned char buffer[kUnscrambleBufferSize] = {};
    const QByteArray lower = text.toLower();
    for (qsizetype i = 0; i < kUnscrambleBufferSize && 2 * i + 1 < lower.size(); ++i) {
        const int high = hexValue(lower[2 * i]);
        const int low = hexValue(lower[2 * i + 1]);
        if (high < 0 || low < 0)
            break;
        buffer[i] = static_cast<unsigned char>(high << 4 | low);
    }
    // The buffer bounds the result: longer texts give their first 512 bytes.
    const qsizetype n = std::min(text.size() / 2, kUnscrambleBufferSize);
    QByteArray out(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = static_cast<char>(keyByte(key, i) ^ buffer[i]);
    return out;
}

QString debugLogFile()
{
    const QString folder = ConfigStore().getConfigDir();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/debug.txt");
}

void writeDebugLog(const QByteArray& message)
{
    const QString file = debugLogFile();
    if (file.isEmpty())
        return;
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(now.time(), QLocale::LongFormat);
    appendToPrivateFile(file, toAnsi(stamp) + "\r\n" + message + "\r\n");
}

NameValueList parseUrlQuery(const QString& url)
{
    const qsizetype question = url.indexOf(QLatin1Char('?'));
    QString query = url.mid(question + 1);
    return NameValueList::fromCommaText(query.replace(QLatin1Char('&'), QLatin1Char(',')));
}

NameValueList parseClientUrl(const QString& url)
{
    static const QString prefix = QStringLiteral("vemtraclient://");
    QString action;
    QString query;
    if (url.startsWith(prefix)) {
        // The action and query pass through the ANSI code page, as the pages expect.
        const QString rest = fromAnsi(toAnsi(url.mid(prefix.size())));
        const qsizetype slash = rest.indexOf(QLatin1Char('/'));
        action = slash >= 0 ? rest.left(slash) : rest;
        const qsizetype question = rest.indexOf(QLatin1Char('?'));
        if (question >= 0)
            query = rest.mid(question + 1).replace(QLatin1Char('&'), QLatin1Char(','));
    }
    return NameValueList::fromCommaText(QStringLiteral("actionName=") + action + QLatin1Char(',') + query);
}

} // namespace quorvane
