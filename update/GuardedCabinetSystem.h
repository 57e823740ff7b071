#pragma once

#include <QByteArray>
#include <mspack.h>

#include <atomic>
#include <cstdint>
#include <functional>

namespace quorvane {

class FileWriteQueue;

// The file access libmspack unpacks through, with guards the library itself does not have: every
// read and write fails once the abort flag is set (so a large file is cut short between blocks),
// writes stop at the file's declared length and at the archive's declared total whatever a
// damaged archive makes the library believe, and files are opened without following a link or
// waiting on a FIFO.
struct GuardedCabinetSystem
{
    // What libmspack is given; the library hands the first member back, and this wrapper, unlike
    // the whole struct, is standard layout, so the pointer leads back here.
    struct Hook
    {
        mspack_system base;
        GuardedCabinetSystem* owner;
    } hook;
    const std::atomic<bool>* abort = nullptr;
    int64_t budget = 0;      // bytes that may still be written, all files together
    int64_t fileBudget = 0;  // bytes the file being unpacked may still take; set before each
    bool overBudget = false; // a write was refused for either budget
    std::function<void(int64_t written)> progress; // bytes written so far, after each write
    int64_t written = 0;
    // A file made for the next file libmspack opens for writing: when it opens `preparedPath`, it
    // gets this descriptor instead of a second opening of the name. Taken: -1 again.
    QByteArray preparedPath;
    int preparedFd = -1;
    // When set, files opened for writing are written and closed through it, on its thread.
    FileWriteQueue* writeQueue = nullptr;

    GuardedCabinetSystem();
    GuardedCabinetSystem(const GuardedCabinetSystem&) = delete;
    GuardedCabinetSystem& operator=(const GuardedCabinetSystem&) = delete;

    mspack_system* system() { return &hook.base; }
    bool aborted() const { return abort && *abort; }
};

} // namespace quorvane
