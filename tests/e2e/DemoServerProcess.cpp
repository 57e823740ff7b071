#include "tests/e2e/DemoServerProcess.h"

#include "tests/e2e/ClientProgram.h"

#include "platform/AnsiCodePage.h"
#include "tests/e2e/Wait.h"

#include <QRegularExpression>
#include <httplib.h>

namespace quorvane {

DemoServerProcess::DemoServerProcess(QString dataDir) : m_dataDir(std::move(dataDir)) {}

DemoServerProcess::~DemoServerProcess()
{
    stop();
}

bool DemoServerProcess::start(const QStringList& options)
{
    m_process.setProgram(QStringLiteral(QUORVANE_DEMO_SERVER_EXE));
    // A server started again comes back on its port, as a restarted server does.
    const int port = m_port;
    m_port = 0;
    m_output.clear();
    m_process.setArguments(
        QStringList{QStringLiteral("--port"), QString::number(port), QStringLiteral("--data"), m_dataDir} +
        options);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    // The first line names the port: "quorvane-demo-server: listening on http://127.0.0.1:PORT".
    const QRegularExpression listening(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
    // The banner also names the key of the admin URLs.
    const QRegularExpression adminKey(QStringLiteral("admin key +([0-9a-f]+)"));
    waitFor(
        [&] {
            output();
            const QRegularExpressionMatch match = listening.match(m_output);
            const QRegularExpressionMatch key = adminKey.match(m_output);
            if (match.hasMatch() && key.hasMatch()) {
                m_port = match.captured(1).toInt();
                m_adminKey = key.captured(1);
            }
            return m_port > 0 || m_process.state() == QProcess::NotRunning;
        },
        20000);
    return m_port > 0;
}

void DemoServerProcess::stop()
{
    endProcess(m_process);
}

QString DemoServerProcess::output()
{
    m_process.waitForReadyRead(50);
    m_output += QString::fromLocal8Bit(m_process.readAll());
    return m_output;
}

QString DemoServerProcess::requestLog() const
{
    httplib::Client client("127.0.0.1", m_port);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    const httplib::Result result = client.Get("/admin/requests?key=" + m_adminKey.toStdString());
    if (!result || result->status != 200)
        return {};
    return QString::fromUtf8(QByteArray::fromStdString(result->body));
}

QList<LoggedRequest> DemoServerProcess::requests() const
{
    QList<LoggedRequest> requests;
    for (const QString& line : requestLog().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const LoggedRequest request = parseLogLine(line);
        // The test's own look at the log is no request of the client.
        if (!request.path.startsWith(QLatin1String("/admin/")))
            requests.append(request);
    }
    return requests;
}

QList<LoggedRequest> DemoServerProcess::requestsTo(const QString& path) const
{
    QList<LoggedRequest> matching;
    for (const LoggedRequest& request : requests()) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

LoggedRequest DemoServerProcess::parseLogLine(const QString& line)
{
    LoggedRequest request;
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
            request.query.insert(name, fromAnsi(QByteArray::fromPercentEncoding(value)));
    }
    return request;
}

} // namespace quorvane
