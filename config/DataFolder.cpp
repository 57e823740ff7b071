#include "config/DataFolder.h"

#include "config/SelvorConfig.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/PrivateFiles.h"

#include <QDebug>

namespace {

void Report(const QString& problem)
{
    qWarning().noquote() << "Data folder:" << problem;
    WriteDebugLog(ToAnsi(QStringLiteral("Data folder: ") + problem));
}

} // namespace

void SecureDataFolder()
{
    const QString folder = TSelvorConfig().GetConfigDir();
    if (folder.isEmpty())
        return;
    const QString folderProblem = EnsurePrivateFolder(folder);
    if (!folderProblem.isEmpty()) {
        Report(folderProblem);
        return;
    }
    // The configuration, the update hand-over ("upgrade.ini") and the debug log.
    for (const char* name : {"quorvane.ini", "upgrade.ini", "debug.txt"}) {
        const QString problem = RepairPrivateFile(folder + QLatin1Char('/') + QLatin1String(name));
        if (!problem.isEmpty())
            Report(problem);
    }
}
