#include "devserver/DemoServerOptions.h"

#include "config/ShareHosts.h"
#include "devserver/DownloadFiles.h"
#include "platform/Failure.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace quorvane {

namespace {

// The published description when none is given; it is shown beneath the update prompt.
const char* const kDefaultDescription = "Quorvane 房价通新版本：\r\n"
                                        "1. 新增小区房价走势图\r\n"
                                        "2. 通知窗口可直接查看小区详情\r\n"
                                        "3. 修复若干已知问题";

bool isHostName(const QString& text)
{
    const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$"));
    return text.size() <= 253 && pattern.match(text).hasMatch();
}

int parsePort(const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 0 || port > 65535)
        throw Failure(QStringLiteral("--port needs a number from 0 to 65535, not \"%1\"").arg(text));
    return port;
}

} // namespace

DemoServerOptions parseDemoServerOptions(const QStringList& arguments)
{
    DemoServerOptions options;
    options.version = QStringLiteral(QUORVANE_DEMO_DEFAULT_VERSION);
    options.versionDesc = QString::fromUtf8(kDefaultDescription);
    bool havePort = false;
    QStringList hosts;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (i + 1 >= arguments.size())
            throw Failure(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[++i];
        if (option == QLatin1String("--port")) {
            options.port = parsePort(value);
            havePort = true;
        } else if (option == QLatin1String("--data")) {
            options.dataDir = value;
        } else if (option == QLatin1String("--version")) {
            options.version = value;
        } else if (option == QLatin1String("--version-desc")) {
            options.versionDesc = value;
        } else if (option == QLatin1String("--package")) {
            options.packageFile = value;
        } else if (option == QLatin1String("--share-host")) {
            hosts.append(value);
        } else {
            throw Failure(QStringLiteral("unknown option \"%1\"").arg(option));
        }
    }

    if (!havePort)
        throw Failure(QStringLiteral("--port is missing"));
    if (options.dataDir.isEmpty())
        throw Failure(QStringLiteral("--data is missing"));
    // The client compares versions as text, so a version of another shape would break the ordering.
    if (!DownloadFiles::isPublishableVersion(options.version))
        throw Failure(
            QStringLiteral("--version must look like 01.00.201212101200, not \"%1\"").arg(options.version));
    if (!options.packageFile.isEmpty() && !QFileInfo(options.packageFile).isFile())
        throw Failure(QStringLiteral("--package: no such file \"%1\"").arg(options.packageFile));
    if (hosts.size() > 2)
        throw Failure(QStringLiteral("--share-host may be given at most twice"));
    for (const QString& host : hosts) {
        if (!isHostName(host))
            throw Failure(QStringLiteral("--share-host: \"%1\" is not a host name").arg(host));
    }
    if (hosts.isEmpty()) {
        for (const char* host : kShareHosts)
            hosts.append(QString::fromLatin1(host));
    }
    options.shareHosts = hosts;
    return options;
}

QString demoServerUsage()
{
    return QStringLiteral(
               "usage: quorvane-demo-server --port N --data DIR [--version TEXT] [--version-desc TEXT]\n"
               "                            [--package FILE] [--share-host HOST [--share-host HOST]]\n"
               "  --port N            port on 127.0.0.1 (0 picks a free one and prints it)\n"
               "  --data DIR          folder for the account store and the request log\n"
               "  --version TEXT      published version, e.g. 01.00.201212101200 (default: the client's "
               "own)\n"
               "  --version-desc TEXT published description of that version\n"
               "  --package FILE      the cabinet published as quorvane_upgrade.cab (default: none, 404);\n"
               "                      FILE.minisig, when there, as quorvane_upgrade.cab.minisig\n"
               "  --share-host HOST   a microblog share host (default: %1 and %2)\n")
        .arg(QLatin1String(kShareHosts[0]), QLatin1String(kShareHosts[1]));
}

} // namespace quorvane
