#include "upgrader/FileReplace.h"

#include "platform/Failure.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Closes a descriptor and removes an unfinished copy unless told it is done.
struct Staging
{
    int fd = -1;
    QByteArray path;
    bool done = false;

    ~Staging()
    {
        if (fd >= 0)
            close(fd);
        if (!done && !path.isEmpty())
            unlink(path.constData());
    }
};

struct Source
{
    int fd = -1;
    ~Source()
    {
        if (fd >= 0)
            close(fd);
    }
};

void WriteAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw TFailure(QStringLiteral("Cannot write the new file: %1").arg(SystemError()));
        data += written;
        size -= written;
    }
}

mode_t DefaultExecutableMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0755 & ~mask;
}

} // namespace

void ReplaceFile(const QString& source, const QString& target, int sourceOwner)
{
    Source in;
    in.fd = open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in.fd < 0)
        throw TFailure(QStringLiteral("Cannot read \"%1\": %2").arg(source, SystemError()));
    struct stat sourceInfo
    {
    };
    if (fstat(in.fd, &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        throw TFailure(QStringLiteral("\"%1\" is not a file").arg(source));
    if (sourceOwner >= 0 && sourceInfo.st_uid != uid_t(sourceOwner))
        throw TFailure(QStringLiteral("\"%1\" does not belong to the user").arg(source));

    const QByteArray targetPath = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool replacing = stat(targetPath.constData(), &old) == 0 && S_ISREG(old.st_mode);

    const QFileInfo targetInfo(target);
    Staging out;
    out.path = QFile::encodeName(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() +
                                 QStringLiteral(".upgrade-XXXXXX"));
    out.fd = mkostemp(out.path.data(), O_CLOEXEC);
    if (out.fd < 0) {
        out.path.clear();
        throw TFailure(
            QStringLiteral("Cannot write in \"%1\": %2").arg(targetInfo.absolutePath(), SystemError()));
    }

    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = read(in.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw TFailure(QStringLiteral("Cannot read \"%1\": %2").arg(source, SystemError()));
        if (count == 0)
            break;
        WriteAll(out.fd, buffer, count);
    }
    if (fchmod(out.fd, replacing ? (old.st_mode & 07777) : DefaultExecutableMode()) != 0)
        throw TFailure(QStringLiteral("Cannot set the permissions of the new file: %1").arg(SystemError()));
    if (replacing && geteuid() == 0 && fchown(out.fd, old.st_uid, old.st_gid) != 0)
        throw TFailure(QStringLiteral("Cannot set the owner of the new file: %1").arg(SystemError()));
    if (fsync(out.fd) != 0)
        throw TFailure(QStringLiteral("Cannot write the new file: %1").arg(SystemError()));
    close(out.fd);
    out.fd = -1;

    if (rename(out.path.constData(), targetPath.constData()) != 0)
        throw TFailure(QStringLiteral("Cannot replace \"%1\": %2").arg(target, SystemError()));
    out.done = true;

    // The rename itself reaches the disk with the folder.
    const int folder =
        open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}
