#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quorvane {

// The files of the download server: the published version, its description, the package and its
// signature.
class DownloadFiles final
{
public:
    DownloadFiles(QString version, QString description, QString packageFile);

    // The bodies, in code page 936 as the client reads them.
    QByteArray versionBody() const;
    QByteArray descriptionBody() const;

    // The package as it is on disk now, so a rebuilt package is served without a restart;
    // nothing when none is published or it cannot be read.
    std::optional<QByteArray> packageBody() const;
    // The package's detached signature, the file beside it with ".minisig" appended, read the
    // same way; nothing when there is none.
    std::optional<QByteArray> signatureBody() const;

    // The shape the client's text comparison needs: two digits, a dot, two digits, a dot, twelve digits.
    static bool isPublishableVersion(const QString& version);

private:
    QString m_version;
    QString m_description;
    QString m_packageFile;
};

} // namespace quorvane
