#include "update/BufferedFileReader.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

qint64 BufferedFileReader::read(char* out, qint64 bytes)
{
    qint64 done = 0;
    while (done < bytes) {
        const qint64 inBuffer = m_position - m_bufferPosition;
        if (inBuffer >= 0 && inBuffer < m_buffered) {
            const qint64 count = std::min(bytes - done, m_buffered - inBuffer);
            std::memcpy(out + done, m_buffer.data() + inBuffer, size_t(count));
            done += count;
            m_position += count;
            continue;
        }
        if (!placeDescriptor())
            return -1;
        const bool direct = bytes - done >= kBufferSize;
        const qint64 got = direct ? readRawFile(m_fd, out + done, bytes - done)
                                  : readRawFile(m_fd, m_buffer.data(), kBufferSize);
        if (got < 0)
            return -1;
        if (direct) {
            done += got;
            m_position += got;
        } else {
            m_bufferPosition = m_filePosition;
            m_buffered = got;
        }
        m_filePosition += got;
        if (got == 0)
            break; // the end of the file
    }
    return done;
}

bool BufferedFileReader::seek(qint64 offset, RawSeek from)
{
    qint64 target = offset;
    if (from == RawSeek::Current) {
        target = m_position + offset;
    } else if (from == RawSeek::End) {
        const qint64 end = seekRawFile(m_fd, 0, RawSeek::End);
        if (end < 0)
            return false;
        m_filePosition = end;
        target = end + offset;
    }
    if (target < 0)
        return false;
    m_position = target;
    return true;
}

bool BufferedFileReader::placeDescriptor()
{
    if (m_filePosition == m_position)
        return true;
    if (seekRawFile(m_fd, m_position, RawSeek::Set) < 0)
        return false;
    m_filePosition = m_position;
    return true;
}

} // namespace quorvane
