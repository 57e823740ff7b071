#include "config/DataFolder.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/PrivateFiles.h"

#include <QDebug>

namespace quorvane {

namespace {

void report(const QString& problem)
{
    qWarning().noquote() << "Data folder:" << problem;
    writeDebugLog(toAnsi(QStringLiteral("Data folder: ") + problem));
}

} // namespace

void secureDataFolder()
{
    const QString folder = ConfigStore().getConfigDir();
    if (folder.isEmpty())
        return;
    const QString folderProblem = ensurePrivateFolder(folder);
    if (!folderProblem.isEmpty()) {
        report(folderProblem);
        return;
    }
    // The configuration, the update hand-over ("upgrade.ini") and the debug log.
    for (const char* name : {"quorvane.ini", "upgrade.ini", "debug.txt"}) {
        const QString problem = repairPrivateFile(folder + QLatin1Char('/') + QLatin1String(name));
        if (!problem.isEmpty())
            report(problem);
    }
}

} // namespace quorvane
