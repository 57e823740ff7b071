#pragma once

#include "platform/RawFiles.h"

#include <QtGlobal>

#include <array>

namespace quorvane {

// Reads a file through a small buffer, as the C library's streams do: opening a cabinet reads
// every file entry in small reads with seeks back and forth, each of which would otherwise be a
// system call. Reads of a buffer's size or more go straight to the file. The position is kept
// here; the descriptor is moved only when the file has to be read.
class BufferedFileReader
{
public:
    static constexpr qint64 kBufferSize = 4096;

    // Reads `fd` from its start; the caller keeps it open and closes it.
    explicit BufferedFileReader(int fd) : m_fd(fd) {}

    // Up to `bytes`, fewer only at the end of the file; -1 on failure.
    qint64 read(char* out, qint64 bytes);
    // False for a position before the start of the file, or when the end cannot be found.
    bool seek(qint64 offset, RawSeek from);
    qint64 position() const { return m_position; }

private:
    bool placeDescriptor();

    int m_fd;
    qint64 m_position = 0;       // where the next read starts
    qint64 m_filePosition = 0;   // where the descriptor stands
    qint64 m_bufferPosition = 0; // where the buffered bytes come from
    qint64 m_buffered = 0;
    std::array<char, kBufferSize> m_buffer{};
};

} // namespace quorvane
