#include "update/GuardedCabinetSystem.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct GuardedFile
{
    int fd = -1;
    GuardedCabinetSystem* system = nullptr;
};

GuardedCabinetSystem* cabinetOwner(mspack_system* self)
{
    return reinterpret_cast<GuardedCabinetSystem::Hook*>(self)->owner;
}

mspack_file* cabinetOpen(mspack_system* self, const char* filename, int mode)
{
    // Non-blocking until the file is known to be a regular one: opening a FIFO would otherwise
    // wait for its other end.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    switch (mode) {
    case MSPACK_SYS_OPEN_READ:
        flags |= O_RDONLY;
        break;
    case MSPACK_SYS_OPEN_WRITE:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    default:
        // The cabinet reader only reads the archive and writes new files.
        return nullptr;
    }
    const int fd = open(filename, flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    auto* file = new GuardedFile{fd, cabinetOwner(self)};
    return reinterpret_cast<mspack_file*>(file);
}

GuardedFile* cabinetFile(mspack_file* file)
{
    return reinterpret_cast<GuardedFile*>(file);
}

void cabinetClose(mspack_file* file)
{
    if (!file)
        return;
    close(cabinetFile(file)->fd);
    delete cabinetFile(file);
}

int cabinetRead(mspack_file* file, void* buffer, int bytes)
{
    if (!file || bytes < 0 || cabinetFile(file)->system->aborted())
        return -1;
    for (;;) {
        const ssize_t count = read(cabinetFile(file)->fd, buffer, size_t(bytes));
        if (count < 0 && errno == EINTR)
            continue;
        return int(count);
    }
}

int cabinetWrite(mspack_file* file, void* buffer, int bytes)
{
    if (!file || bytes < 0)
        return -1;
    GuardedCabinetSystem* system = cabinetFile(file)->system;
    if (system->aborted())
        return -1;
    if (bytes > system->budget || bytes > system->fileBudget) {
        system->overBudget = true;
        return -1;
    }
    const char* data = static_cast<const char*>(buffer);
    int left = bytes;
    while (left > 0) {
        const ssize_t count = write(cabinetFile(file)->fd, data, size_t(left));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return -1;
        data += count;
        left -= int(count);
    }
    system->budget -= bytes;
    system->fileBudget -= bytes;
    system->written += bytes;
    if (system->progress)
        system->progress(system->written);
    return bytes;
}

int cabinetSeek(mspack_file* file, off_t offset, int mode)
{
    if (!file)
        return -1;
    int whence = SEEK_SET;
    if (mode == MSPACK_SYS_SEEK_CUR)
        whence = SEEK_CUR;
    else if (mode == MSPACK_SYS_SEEK_END)
        whence = SEEK_END;
    return lseek(cabinetFile(file)->fd, offset, whence) < 0 ? -1 : 0;
}

off_t cabinetTell(mspack_file* file)
{
    return file ? lseek(cabinetFile(file)->fd, 0, SEEK_CUR) : -1;
}

void cabinetMessage(mspack_file*, const char*, ...)
{
    // libmspack's notes on damaged archives surface as its error codes; nothing is printed.
}

void* cabinetAlloc(mspack_system*, size_t bytes)
{
    return std::malloc(bytes);
}

void cabinetFree(void* pointer)
{
    std::free(pointer);
}

void cabinetCopy(void* source, void* destination, size_t bytes)
{
    std::memmove(destination, source, bytes);
}

} // namespace

GuardedCabinetSystem::GuardedCabinetSystem()
{
    mspack_system& base = hook.base;
    hook.owner = this;
    base.open = cabinetOpen;
    base.close = cabinetClose;
    base.read = cabinetRead;
    base.write = cabinetWrite;
    base.seek = cabinetSeek;
    base.tell = cabinetTell;
    base.message = cabinetMessage;
    base.alloc = cabinetAlloc;
    base.free = cabinetFree;
    base.copy = cabinetCopy;
    base.null_ptr = nullptr;
}
