#include "tests/update/UpgradeFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

UpgradeFixture::UpgradeFixture()
{
    QDir().mkpath(AppDir());
    TempProfile::WriteFile(profile_.ConfigFile(), "[Common]\ndown_url=" + DownloadRoot().toUtf8() + "\n");
    upgrade_.SetApplicationDir(AppDir());
    upgrade_.SetUnpackFailureReport([this](const QString& message) { reported_ << message; });
}

void UpgradeFixture::ServeVersion(const QByteArray& body, int status)
{
    server_.Reply("/res/download/quorvane_version.txt", body.toStdString(), status, "text/plain");
}

void UpgradeFixture::ServePackage(const QByteArray& cabinet, int status)
{
    server_.Reply("/res/download/quorvane_upgrade.cab", cabinet.toStdString(), status,
                  "application/vnd.ms-cab-compressed");
}

QByteArray UpgradeFixture::GcabPackage(const QList<QPair<QString, QByteArray>>& files)
{
    const QString source = profile_.Root() + QStringLiteral("/package-source");
    QDir(source).removeRecursively();
    QStringList names;
    for (const auto& [name, data] : files) {
        TempProfile::WriteFile(source + QLatin1Char('/') + name, data);
        names << name;
    }
    const QString cabinet = profile_.Root() + QStringLiteral("/package.cab");
    EXPECT_TRUE(MakeCabinetWithGcab(cabinet, source, names, true));
    return ReadBytes(cabinet);
}

QStringList UpgradeFixture::PackageFilesLeft() const
{
    QStringList left = QDir(profile_.TempDir()).entryList({QStringLiteral("quorvane*")}, QDir::Files);
    left.removeAll(QStringLiteral("quorvane_client.exe"));
    return left;
}

QStringList Tree(const QString& dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(dir).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WaitForFile(const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(path)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

void WriteExecutable(const QString& path, const QByteArray& content)
{
    TempProfile::WriteFile(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
}
