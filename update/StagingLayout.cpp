#include "update/StagingLayout.h"

#include "update/UpgradeNames.h"

#include <QFileInfo>

namespace quorvane {

namespace {

QString below(const QString& folder, const char* name)
{
    return folder + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

QString StagingLayout::package() const
{
    return below(folder, UpgradeName::kPackage);
}

QString StagingLayout::signature() const
{
    return below(folder, UpgradeName::kSignature);
}

QString StagingLayout::unpacked() const
{
    return below(folder, UpgradeName::kUnpackedFolder);
}

QString StagingLayout::program() const
{
    return below(unpacked(), UpgradeName::kClientExe);
}

StagingLayout StagingLayout::ofProgram(const QString& program)
{
    const QFileInfo file(program);
    const QFileInfo unpacked(file.absolutePath());
    const QFileInfo staging(unpacked.absolutePath());
    if (file.fileName() != QLatin1String(UpgradeName::kClientExe) ||
        unpacked.fileName() != QLatin1String(UpgradeName::kUnpackedFolder) ||
        !staging.fileName().startsWith(QLatin1String(UpgradeName::kStagingPrefix)))
        return {};
    return {staging.absoluteFilePath()};
}

} // namespace quorvane
