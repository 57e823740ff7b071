#include "platform/PrivateFiles.h"
#include "platform/RawFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

uint currentUserId()
{
    return getuid();
}

QString ensurePrivateFolder(const QString& path)
{
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !QFileInfo(parent).isDir()) {
        const QString error = ensurePrivateFolder(parent);
        if (!error.isEmpty())
            return error;
    }
    const QByteArray name = QFile::encodeName(path);
    if (mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot create %1: %2").arg(path, systemError());
    struct stat info
    {
    };
    if (lstat(name.constData(), &info) != 0)
        return QStringLiteral("cannot read %1: %2").arg(path, systemError());
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (info.st_uid != getuid())
        return QStringLiteral("%1 belongs to another user").arg(path);
    if ((info.st_mode & 07777) != 0700 && chmod(name.constData(), 0700) != 0)
        return QStringLiteral("cannot make %1 private: %2").arg(path, systemError());
    return {};
}

QString makePrivateFolder(const QString& parent, const QString& prefix)
{
    QByteArray pattern = QFile::encodeName(parent + QLatin1Char('/') + prefix) + "XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern);
}

QString checkPrivateFolder(const QString& path, uint owner)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("%1: %2").arg(path, systemError());
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (info.st_uid != owner)
        return QStringLiteral("%1 belongs to user %2, not %3").arg(path).arg(info.st_uid).arg(owner);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("others may write in %1").arg(path);
    return {};
}

PrivateFile readPrivateFile(const QString& path, uint owner, const QString& copyTo, qint64 keepContentUpTo)
{
    PrivateFile result;
    const auto fail = [&result](const QString& error) {
        result.error = error;
        result.content.clear();
        return result;
    };
    const QString folderError = checkPrivateFolder(QFileInfo(path).absolutePath(), owner);
    if (!folderError.isEmpty())
        return fail(folderError);

    // No link is followed and a FIFO does not hold the open up; the checks below are made on what
    // was opened, so the file cannot be swapped between the check and the read.
    Descriptor in;
    in.fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in.fd < 0)
        return fail(QStringLiteral("%1: %2").arg(path, systemError()));
    struct stat info
    {
    };
    if (fstat(in.fd, &info) != 0)
        return fail(QStringLiteral("%1: %2").arg(path, systemError()));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    if (info.st_uid != owner)
        return fail(QStringLiteral("%1 belongs to user %2, not %3").arg(path).arg(info.st_uid).arg(owner));
    if (info.st_nlink != 1)
        return fail(QStringLiteral("%1 has more than one name").arg(path));
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return fail(QStringLiteral("others may write %1").arg(path));
    if (keepContentUpTo > 0 && info.st_size > keepContentUpTo)
        return fail(QStringLiteral("%1 is too large").arg(path));
    fcntl(in.fd, F_SETFL, fcntl(in.fd, F_GETFL) & ~O_NONBLOCK);

    Descriptor out;
    if (!copyTo.isEmpty()) {
        out.fd = open(QFile::encodeName(copyTo).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out.fd < 0)
            return fail(QStringLiteral("%1: %2").arg(copyTo, systemError()));
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = read(in.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(QStringLiteral("%1: %2").arg(path, systemError()));
        if (count == 0)
            break;
        result.size += count;
        hash.addData(QByteArrayView(buffer, count));
        if (keepContentUpTo > 0) {
            if (result.size > keepContentUpTo)
                return fail(QStringLiteral("%1 is too large").arg(path));
            result.content.append(buffer, count);
        }
        if (out.fd >= 0 && !writeRawFile(out.fd, buffer, count))
            return fail(QStringLiteral("%1: %2").arg(copyTo, systemError()));
    }
    if (out.fd >= 0 && fsync(out.fd) != 0)
        return fail(QStringLiteral("%1: %2").arg(copyTo, systemError()));
    result.sha256 = hash.result();
    return result;
}

bool makePrivateFolderIfMissing(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(parent))
        return false;
    return mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST;
}

QString repairPrivateFile(const QString& path)
{
    Descriptor file;
    file.fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        return errno == ENOENT ? QString() : QStringLiteral("%1: %2").arg(path, systemError());
    struct stat info
    {
    };
    if (fstat(file.fd, &info) != 0)
        return QStringLiteral("%1: %2").arg(path, systemError());
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1 is not a regular file; left as it is").arg(path);
    if (info.st_uid != getuid())
        return QStringLiteral("%1 belongs to user %2; left as it is").arg(path).arg(info.st_uid);
    if ((info.st_mode & 077) != 0 && fchmod(file.fd, info.st_mode & 0700) != 0)
        return QStringLiteral("cannot make %1 private: %2").arg(path, systemError());
    return {};
}

bool appendToPrivateFile(const QString& path, const QByteArray& data)
{
    Descriptor file;
    file.fd = open(QFile::encodeName(path).constData(),
                   O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (file.fd < 0)
        return false;
    struct stat info
    {
    };
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid())
        return false;
    return writeRawFile(file.fd, data.constData(), data.size());
}

bool removeFolderTree(const QString& path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return false;
    // QDir removes links it meets instead of following them.
    return QDir(path).removeRecursively();
}

} // namespace quorvane
