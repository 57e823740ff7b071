#include "platform/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

bool OpenInDefaultBrowser(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

bool StartProgram(const QString& program, const QStringList& arguments, bool elevated)
{
    if (!elevated)
        return QProcess::startDetached(program, arguments);
    return QProcess::startDetached(QStringLiteral("pkexec"), QStringList{program} + arguments);
}
