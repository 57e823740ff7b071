#include "update/StagingLayout.h"

#include "update/UpgradeNames.h"

#include <QFileInfo>

namespace {

QString Below(const QString& folder, const char* name)
{
    return folder + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

QString StagingLayout::Package() const
{
    return Below(folder, UpgradeName::kPackage);
}

QString StagingLayout::Signature() const
{
    return Below(folder, UpgradeName::kSignature);
}

QString StagingLayout::Unpacked() const
{
    return Below(folder, UpgradeName::kUnpackedFolder);
}

QString StagingLayout::Program() const
{
    return Below(Unpacked(), UpgradeName::kClientExe);
}

StagingLayout StagingLayout::OfProgram(const QString& program)
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
