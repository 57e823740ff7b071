#include "devserver/DownloadFiles.h"

#include "platform/AnsiCodePage.h"

#include <QFile>
#include <QRegularExpression>

namespace quorvane {

DownloadFiles::DownloadFiles(QString version, QString description, QString packageFile)
    : m_version(std::move(version)), m_description(std::move(description)),
      m_packageFile(std::move(packageFile))
{
}

QByteArray DownloadFiles::versionBody() const
{
    return toAnsi(m_version);
}

QByteArray DownloadFiles::descriptionBody() const
{
    return toAnsi(m_description);
}

std::optional<QByteArray> DownloadFiles::packageBody() const
{
    if (m_packageFile.isEmpty())
        return std::nullopt;
    QFile file(m_packageFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QByteArray> DownloadFiles::signatureBody() const
{
    if (m_packageFile.isEmpty())
        return std::nullopt;
    QFile file(m_packageFile + QStringLiteral(".minisig"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool DownloadFiles::isPublishableVersion(const QString& version)
{
    const QRegularExpression pattern(QStringLiteral("^[0-9]{2}\\.[0-9]{2}\\.[0-9]{12}$"));
    return pattern.match(version).hasMatch();
}

} // namespace quorvane
