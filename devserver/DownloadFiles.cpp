#include "devserver/DownloadFiles.h"

#include "platform/AnsiCodePage.h"

#include <QFile>
#include <QRegularExpression>

TDownloadFiles::TDownloadFiles(QString version, QString description, QString packageFile)
    : version_(std::move(version)), description_(std::move(description)), packageFile_(std::move(packageFile))
{
}

QByteArray TDownloadFiles::VersionBody() const
{
    return ToAnsi(version_);
}

QByteArray TDownloadFiles::DescriptionBody() const
{
    return ToAnsi(description_);
}

std::optional<QByteArray> TDownloadFiles::PackageBody() const
{
    if (packageFile_.isEmpty())
        return std::nullopt;
    QFile file(packageFile_);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QByteArray> TDownloadFiles::SignatureBody() const
{
    if (packageFile_.isEmpty())
        return std::nullopt;
    QFile file(packageFile_ + QStringLiteral(".minisig"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool TDownloadFiles::IsPublishableVersion(const QString& version)
{
    const QRegularExpression pattern(QStringLiteral("^[0-9]{2}\\.[0-9]{2}\\.[0-9]{12}$"));
    return pattern.match(version).hasMatch();
}
