#include "update/GuardedCabinetSystem.h"

#include "platform/RawFiles.h"
#include "update/BufferedFileReader.h"
#include "update/FileWriteQueue.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvane {

namespace {

struct GuardedFile
{
    int fd = -1;
    GuardedCabinetSystem* system = nullptr;
    bool written = false;
    std::unique_ptr<BufferedFileReader> reader; // for a file opened for reading
};

GuardedCabinetSystem* cabinetOwner(mspack_system* self)
{
    return reinterpret_cast<GuardedCabinetSystem::Hook*>(self)->owner;
}

mspack_file* cabinetOpen(mspack_system* self, const char* filename, int mode)
{
    // The cabinet reader only reads the archive and writes new files.
    if (mode != MSPACK_SYS_OPEN_READ && mode != MSPACK_SYS_OPEN_WRITE)
        return nullptr;
    GuardedCabinetSystem* owner = cabinetOwner(self);
    if (mode == MSPACK_SYS_OPEN_WRITE && owner->preparedFd >= 0 && owner->preparedPath == filename) {
        auto* file = new GuardedFile{owner->preparedFd, owner, true, nullptr};
        owner->preparedFd = -1;
        return reinterpret_cast<mspack_file*>(file);
    }
    const int fd = openRegularFile(filename, mode == MSPACK_SYS_OPEN_READ ? RawOpen::Read : RawOpen::Write);
    if (fd < 0)
        return nullptr;
    auto* file = new GuardedFile{fd, owner, mode == MSPACK_SYS_OPEN_WRITE, nullptr};
    if (mode == MSPACK_SYS_OPEN_READ)
        file->reader = std::make_unique<BufferedFileReader>(fd);
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
    GuardedFile* guarded = cabinetFile(file);
    if (!guarded->written)
        closeRawFile(guarded->fd);
    else if (guarded->system->writeQueue)
        guarded->system->writeQueue->close(guarded->fd);
    else
        closeUnpackedFile(guarded->fd);
    delete guarded;
}

int cabinetRead(mspack_file* file, void* buffer, int bytes)
{
    if (!file || bytes < 0 || cabinetFile(file)->system->aborted())
        return -1;
    if (BufferedFileReader* reader = cabinetFile(file)->reader.get())
        return int(reader->read(static_cast<char*>(buffer), bytes));
    return int(readRawFile(cabinetFile(file)->fd, buffer, bytes));
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
    const int fd = cabinetFile(file)->fd;
    if (!(system->writeQueue ? system->writeQueue->write(fd, buffer, size_t(bytes))
                             : writeRawFile(fd, buffer, bytes)))
        return -1;
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
    RawSeek from = RawSeek::Set;
    if (mode == MSPACK_SYS_SEEK_CUR)
        from = RawSeek::Current;
    else if (mode == MSPACK_SYS_SEEK_END)
        from = RawSeek::End;
    if (BufferedFileReader* reader = cabinetFile(file)->reader.get())
        return reader->seek(offset, from) ? 0 : -1;
    return seekRawFile(cabinetFile(file)->fd, offset, from) < 0 ? -1 : 0;
}

off_t cabinetTell(mspack_file* file)
{
    if (!file)
        return -1;
    if (const BufferedFileReader* reader = cabinetFile(file)->reader.get())
        return off_t(reader->position());
    return off_t(seekRawFile(cabinetFile(file)->fd, 0, RawSeek::Current));
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

} // namespace quorvane
