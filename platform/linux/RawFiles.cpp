#include "platform/RawFiles.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

int openRegularFile(const char* path, RawOpen mode)
{
    // Non-blocking until the file is known to be a regular one: opening a FIFO would otherwise
    // wait for its other end.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= mode == RawOpen::Read ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
    const int fd = open(path, flags, 0666);
    if (fd < 0)
        return -1;
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void closeRawFile(int fd)
{
    if (fd >= 0)
        close(fd);
}

qint64 readRawFile(int fd, void* buffer, qint64 bytes)
{
    for (;;) {
        const ssize_t count = read(fd, buffer, size_t(bytes));
        if (count < 0 && errno == EINTR)
            continue;
        return count;
    }
}

void startWriteBack(int fd)
{
    // Only a hint: a file system that cannot do it loses nothing but time at the flush.
    if (fd >= 0)
        (void)sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool writeRawFile(int fd, const void* buffer, qint64 bytes)
{
    const char* data = static_cast<const char*>(buffer);
    while (bytes > 0) {
        const ssize_t count = write(fd, data, size_t(bytes));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        data += count;
        bytes -= count;
    }
    return true;
}

qint64 seekRawFile(int fd, qint64 offset, RawSeek from)
{
    const int whence = from == RawSeek::Set ? SEEK_SET : from == RawSeek::Current ? SEEK_CUR : SEEK_END;
    return lseek(fd, off_t(offset), whence);
}

UniqueFile createUniqueFile(const QString& folder, const QString& prefix, bool executable)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path =
            folder + QLatin1Char('/') + prefix + QString::number(QRandomGenerator::global()->generate(), 36);
        // A name nobody had: a new regular file, never a link or a FIFO someone placed there.
        const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            executable ? 0777 : 0666);
        if (fd >= 0)
            return {path, fd};
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool copyPermissions(const QString& from, const QString& to)
{
    struct stat old
    {
    };
    if (lstat(QFile::encodeName(from).constData(), &old) != 0 || !S_ISREG(old.st_mode))
        return true;
    return chmod(QFile::encodeName(to).constData(), old.st_mode & 07777) == 0;
}

bool syncFileSystems(const QStringList& folders)
{
    std::set<dev_t> flushed;
    for (const QString& folder : folders) {
        const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat info
        {
        };
        bool ok = fstat(fd, &info) == 0;
        if (ok && flushed.insert(info.st_dev).second)
            ok = syncfs(fd) == 0;
        const int error = errno;
        close(fd);
        if (!ok) {
            errno = error; // for lastSystemError
            return false;
        }
    }
    return true;
}

bool renameFile(const QString& from, const QString& to)
{
    return rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString lastSystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace quorvane
