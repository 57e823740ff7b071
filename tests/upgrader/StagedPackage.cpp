#include "tests/upgrader/StagedPackage.h"

#include "platform/PrivateFiles.h"
#include "tests/support/CabinetWriter.h"
#include "tests/support/Minisign.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace quorvane {

QString stagePackage(const QString& parent, const QList<QPair<QString, QByteArray>>& files,
                     const QString& version, const QString& secretKey)
{
    if (!ensurePrivateFolder(parent).isEmpty())
        return {};
    const QString staging = makePrivateFolder(parent, QStringLiteral("update-"));
    const QString source = QFileInfo(parent).absolutePath() + QStringLiteral("/package-source");
    QDir(source).removeRecursively();
    QStringList names;
    QByteArray program;
    for (const auto& [name, data] : files) {
        TempProfile::writeFile(source + QLatin1Char('/') + name, data);
        names << name;
        if (name == QLatin1String("quorvane_client.exe"))
            program = data;
    }
    const QString cabinet = staging + QStringLiteral("/quorvane_upgrade.cab");
    if (staging.isEmpty() || !makeCabinetWithGcab(cabinet, source, names, true) ||
        !signWithMinisign(cabinet, QStringLiteral("version:") + version, secretKey))
        return {};
    QDir().mkdir(staging + QStringLiteral("/files"));
    const QString staged = staging + QStringLiteral("/files/quorvane_client.exe");
    TempProfile::writeFile(staged, program);
    QFile::setPermissions(staged, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return staged;
}

QString stagingOf(const QString& program)
{
    return QFileInfo(QFileInfo(program).absolutePath()).absolutePath();
}

} // namespace quorvane
