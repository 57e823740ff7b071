#include "upgrader/PackageInstall.h"

#include "platform/ProgramFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

const QString kProgramInPackage = QStringLiteral("quorvane_client.exe");

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool renamePath(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// What a path below the application folder is, without following a link.
enum class Kind
{
    Missing,
    File,
    Folder,
    Other
};
Kind kindOf(const QString& path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return Kind::Missing;
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

// The new file takes over the permissions (and for root the owner) of the one it replaces; a new
// name gets the permissions a program or a data file has, writable by its owner only.
bool setPermissions(const QString& file, const QString& replaced, bool program)
{
    const QByteArray path = QFile::encodeName(file);
    struct stat old
    {
    };
    if (!replaced.isEmpty() && stat(QFile::encodeName(replaced).constData(), &old) == 0) {
        if (chmod(path.constData(), old.st_mode & 07777) != 0)
            return false;
        return geteuid() != 0 || chown(path.constData(), old.st_uid, old.st_gid) == 0;
    }
    struct stat now
    {
    };
    if (stat(path.constData(), &now) != 0)
        return false;
    const mode_t mode = program || (now.st_mode & S_IXUSR) ? 0755 : 0644;
    return chmod(path.constData(), mode) == 0;
}

} // namespace

PackageInstall::PackageInstall(QString appDir, QString unpackedDir, QString backupDir)
    : m_appDir(std::move(appDir)), m_unpackedDir(std::move(unpackedDir)), m_backupDir(std::move(backupDir))
{
}

bool PackageInstall::install(QString* error)
{
    m_steps.clear();
    QDirIterator files(m_unpackedDir, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        Step step;
        step.source = files.next();
        const QString inPackage = QDir(m_unpackedDir).relativeFilePath(step.source);
        step.name = inPackage == kProgramInPackage ? nativeProgramFileName(inPackage) : inPackage;
        m_steps.push_back(step);
    }
    // In name order, whatever order the folder lists them in.
    std::sort(m_steps.begin(), m_steps.end(), [](const Step& a, const Step& b) { return a.name < b.name; });
    if (!QDir().mkpath(m_backupDir)) {
        *error = QStringLiteral("cannot create %1").arg(m_backupDir);
        return false;
    }
    for (Step& step : m_steps) {
        if (!place(step, error)) {
            rollBack();
            return false;
        }
    }
    // The renames reach the disk with their folders.
    sync();
    return true;
}

bool PackageInstall::place(Step& step, QString* error)
{
    // Every folder on the way must be a real folder below the application folder: a link
    // planted there would carry the file elsewhere.
    const QStringList parts = step.name.split(QLatin1Char('/'));
    QString folder = m_appDir;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        folder += QLatin1Char('/') + parts[i];
        switch (kindOf(folder)) {
        case Kind::Folder:
            break;
        case Kind::Missing:
            if (mkdir(QFile::encodeName(folder).constData(), 0755) != 0) {
                *error = QStringLiteral("cannot create %1: %2").arg(folder, systemError());
                return false;
            }
            m_createdFolders << folder;
            break;
        default:
            *error = QStringLiteral("%1 is in the way").arg(folder);
            return false;
        }
    }
    const QString target = m_appDir + QLatin1Char('/') + step.name;
    switch (kindOf(target)) {
    case Kind::Missing:
        break;
    case Kind::File: {
        step.backup = m_backupDir + QLatin1Char('/') + QString::number(&step - m_steps.data());
        if (!setPermissions(step.source, target, step.name == nativeProgramFileName(kProgramInPackage)) ||
            !renamePath(target, step.backup)) {
            *error = QStringLiteral("cannot set %1 aside: %2").arg(target, systemError());
            step.backup.clear();
            return false;
        }
        break;
    }
    default:
        *error = QStringLiteral("%1 is not a file").arg(target);
        return false;
    }
    if (step.backup.isEmpty() &&
        !setPermissions(step.source, {}, step.name == nativeProgramFileName(kProgramInPackage))) {
        *error = QStringLiteral("cannot set the permissions of %1: %2").arg(step.name, systemError());
        return false;
    }
    if (!renamePath(step.source, target)) {
        *error = QStringLiteral("cannot put %1 in place: %2").arg(target, systemError());
        if (!step.backup.isEmpty() && renamePath(step.backup, target))
            step.backup.clear();
        return false;
    }
    step.done = true;
    return true;
}

void PackageInstall::rollBack()
{
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        const QString target = m_appDir + QLatin1Char('/') + it->name;
        if (it->done) {
            if (it->backup.isEmpty())
                unlink(QFile::encodeName(target).constData());
            else
                renamePath(it->backup, target);
            it->done = false;
        } else if (!it->backup.isEmpty()) {
            renamePath(it->backup, target);
        }
        it->backup.clear();
    }
    for (auto it = m_createdFolders.crbegin(); it != m_createdFolders.crend(); ++it)
        rmdir(QFile::encodeName(*it).constData());
    m_createdFolders.clear();
    sync();
}

QStringList PackageInstall::installedNames() const
{
    QStringList names;
    for (const Step& step : m_steps) {
        if (step.done)
            names << step.name;
    }
    names.sort();
    return names;
}

} // namespace quorvane
