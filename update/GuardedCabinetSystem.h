#pragma once

#include <mspack.h>

#include <atomic>
#include <cstdint>
#include <functional>

// The file access libmspack unpacks through, with guards the library itself does not have: every
// read and write fails once the abort flag is set (so a large file is cut short between blocks),
// writes stop at a byte budget whatever the archive's headers claim, and files are opened
// without following a link or waiting on a FIFO.
struct GuardedCabinetSystem
{
    mspack_system base; // first, so that libmspack's pointer is ours
    const std::atomic<bool>* abort = nullptr;
    int64_t budget = 0;           // bytes that may still be written
    bool overBudget = false;      // a write was refused for the budget
    std::function<void(int64_t written)> progress; // bytes written so far, after each write
    int64_t written = 0;

    GuardedCabinetSystem();
    bool Aborted() const { return abort && *abort; }
};
