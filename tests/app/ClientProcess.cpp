#include "tests/app/ClientProcess.h"

#include "tests/support/TempProfile.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

ClientProcess::ClientProcess(const TempProfile& profile)
{
    process_.setProgram(QStringLiteral(QUORVANE_CLIENT_EXE));
    process_.setProcessEnvironment(profile.Environment());
    process_.setWorkingDirectory(profile.WorkDir());
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
}

ClientProcess::~ClientProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

void ClientProcess::Start()
{
    process_.start();
    process_.waitForStarted(10000);
}

bool ClientProcess::WaitForExit(int ms)
{
    return process_.waitForFinished(ms);
}

QString MapState(qint64 windowId)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(windowId)});
    if (!xwininfo.waitForFinished(10000))
        return {};
    const QString out = QString::fromUtf8(xwininfo.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Map State: (\\w+)")).match(out);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool WaitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}
