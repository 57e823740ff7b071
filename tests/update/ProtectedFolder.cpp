#include "tests/update/ProtectedFolder.h"

#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvane {

namespace {

bool setImmutable(const QString& path, bool on)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
}

} // namespace

ProtectedFolder::ProtectedFolder(const QString& path) : m_path(path)
{
    // Root writes through missing write permissions; only the immutable flag stops it.
    if (geteuid() == 0) {
        m_immutable = setImmutable(path, true);
        m_ok = m_immutable;
    } else {
        m_ok = QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
}

ProtectedFolder::~ProtectedFolder()
{
    if (m_immutable)
        setImmutable(m_path, false);
    else
        QFile::setPermissions(m_path,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace quorvane
