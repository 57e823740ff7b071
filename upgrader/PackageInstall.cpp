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

namespace {

const QString kProgramInPackage = QStringLiteral("quorvane_client.exe");

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool Rename(const QString& from, const QString& to)
{
    return rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// What a path below the application folder is, without following a link.
enum class Kind
{
    Missing,
    File,
    Folder,
    Other
};
Kind KindOf(const QString& path)
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
bool SetPermissions(const QString& file, const QString& replaced, bool program)
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

TPackageInstall::TPackageInstall(QString appDir, QString unpackedDir, QString backupDir)
    : appDir_(std::move(appDir)), unpackedDir_(std::move(unpackedDir)), backupDir_(std::move(backupDir))
{
}

bool TPackageInstall::Install(QString* error)
{
    steps_.clear();
    QDirIterator files(unpackedDir_, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        Step step;
        step.source = files.next();
        const QString inPackage = QDir(unpackedDir_).relativeFilePath(step.source);
        step.name = inPackage == kProgramInPackage ? NativeProgramFileName(inPackage) : inPackage;
        steps_.push_back(step);
    }
    // In name order, whatever order the folder lists them in.
    std::sort(steps_.begin(), steps_.end(), [](const Step& a, const Step& b) { return a.name < b.name; });
    if (!QDir().mkpath(backupDir_)) {
        *error = QStringLiteral("cannot create %1").arg(backupDir_);
        return false;
    }
    for (Step& step : steps_) {
        if (!Place(step, error)) {
            RollBack();
            return false;
        }
    }
    // The renames reach the disk with their folders.
    sync();
    return true;
}

bool TPackageInstall::Place(Step& step, QString* error)
{
    // Every folder on the way must be a real folder below the application folder: a link
    // planted there would carry the file elsewhere.
    const QStringList parts = step.name.split(QLatin1Char('/'));
    QString folder = appDir_;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        folder += QLatin1Char('/') + parts[i];
        switch (KindOf(folder)) {
        case Kind::Folder:
            break;
        case Kind::Missing:
            if (mkdir(QFile::encodeName(folder).constData(), 0755) != 0) {
                *error = QStringLiteral("cannot create %1: %2").arg(folder, SystemError());
                return false;
            }
            createdFolders_ << folder;
            break;
        default:
            *error = QStringLiteral("%1 is in the way").arg(folder);
            return false;
        }
    }
    const QString target = appDir_ + QLatin1Char('/') + step.name;
    switch (KindOf(target)) {
    case Kind::Missing:
        break;
    case Kind::File: {
        step.backup = backupDir_ + QLatin1Char('/') + QString::number(&step - steps_.data());
        if (!SetPermissions(step.source, target, step.name == NativeProgramFileName(kProgramInPackage)) ||
            !Rename(target, step.backup)) {
            *error = QStringLiteral("cannot set %1 aside: %2").arg(target, SystemError());
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
        !SetPermissions(step.source, {}, step.name == NativeProgramFileName(kProgramInPackage))) {
        *error = QStringLiteral("cannot set the permissions of %1: %2").arg(step.name, SystemError());
        return false;
    }
    if (!Rename(step.source, target)) {
        *error = QStringLiteral("cannot put %1 in place: %2").arg(target, SystemError());
        if (!step.backup.isEmpty() && Rename(step.backup, target))
            step.backup.clear();
        return false;
    }
    step.done = true;
    return true;
}

void TPackageInstall::RollBack()
{
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
        const QString target = appDir_ + QLatin1Char('/') + it->name;
        if (it->done) {
            if (it->backup.isEmpty())
                unlink(QFile::encodeName(target).constData());
            else
                Rename(it->backup, target);
            it->done = false;
        } else if (!it->backup.isEmpty()) {
            Rename(it->backup, target);
        }
        it->backup.clear();
    }
    for (auto it = createdFolders_.crbegin(); it != createdFolders_.crend(); ++it)
        rmdir(QFile::encodeName(*it).constData());
    createdFolders_.clear();
    sync();
}

QStringList TPackageInstall::InstalledNames() const
{
    QStringList names;
    for (const Step& step : steps_) {
        if (step.done)
            names << step.name;
    }
    names.sort();
    return names;
}
