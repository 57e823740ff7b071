#include "tests/e2e/DemoServerProcess.h"

#include "platform/AnsiCodePage.h"
#include "tests/e2e/Wait.h"

#include <QRegularExpression>
#include <httplib.h>

TDemoServerProcess::TDemoServerProcess(QString dataDir) : dataDir_(std::move(dataDir)) {}

TDemoServerProcess::~TDemoServerProcess()
{
    Stop();
}

bool TDemoServerProcess::Start(const QStringList& options)
{
    process_.setProgram(QStringLiteral(QUORVANE_DEMO_SERVER_EXE));
    process_.setArguments(
        QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), dataDir_} +
        options);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start();
    if (!process_.waitForStarted(10000))
        return false;
    // The first line names the port: "quorvane-demo-server: listening on http://127.0.0.1:PORT".
    const QRegularExpression listening(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
    // The banner also names the key of the admin URLs.
    const QRegularExpression adminKey(QStringLiteral("admin key +([0-9a-f]+)"));
    WaitFor(
        [&] {
            Output();
            const QRegularExpressionMatch match = listening.match(output_);
            const QRegularExpressionMatch key = adminKey.match(output_);
            if (match.hasMatch() && key.hasMatch()) {
                port_ = match.captured(1).toInt();
                adminKey_ = key.captured(1);
            }
            return port_ > 0 || process_.state() == QProcess::NotRunning;
        },
        20000);
    return port_ > 0;
}

void TDemoServerProcess::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString TDemoServerProcess::Output()
{
    process_.waitForReadyRead(50);
    output_ += QString::fromLocal8Bit(process_.readAll());
    return output_;
}

QString TDemoServerProcess::RequestLog() const
{
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    const httplib::Result result = client.Get("/admin/requests?key=" + adminKey_.toStdString());
    if (!result || result->status != 200)
        return {};
    return QString::fromUtf8(QByteArray::fromStdString(result->body));
}

QList<TLoggedRequest> TDemoServerProcess::Requests() const
{
    QList<TLoggedRequest> requests;
    for (const QString& line : RequestLog().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const TLoggedRequest request = ParseLogLine(line);
        // The test's own look at the log is no request of the client.
        if (!request.path.startsWith(QLatin1String("/admin/")))
            requests.append(request);
    }
    return requests;
}

QList<TLoggedRequest> TDemoServerProcess::RequestsTo(const QString& path) const
{
    QList<TLoggedRequest> matching;
    for (const TLoggedRequest& request : Requests()) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

TLoggedRequest TDemoServerProcess::ParseLogLine(const QString& line)
{
    TLoggedRequest request;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    request.method = line.left(space);
    request.target = line.mid(space + 1).trimmed();
    const qsizetype question = request.target.indexOf(QLatin1Char('?'));
    request.path = request.target.left(question);
    if (question < 0)
        return request;
    for (const QString& item : request.target.mid(question + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const QString name = item.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : item.mid(equals + 1).toLatin1();
        if (!request.query.contains(name))
            request.query.insert(name, FromAnsi(QByteArray::fromPercentEncoding(value)));
    }
    return request;
}
