#pragma once

#include <QString>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {

// Writes unpacked files on a thread of its own, so that writing one part overlaps unpacking the
// next. The jobs run in the order they were given: writes to a file, then its end (writeback
// started, descriptor closed). At most `maxQueuedBytes` wait at a time; a writer that runs
// ahead waits for room. Once a write fails, later writes are dropped (their descriptors are
// still closed) and finish() reports the failure.
// Ends an unpacked file: the disk starts writing it while the next ones are unpacked, so the
// flush before the targets are replaced waits for little; then its descriptor is closed.
void closeUnpackedFile(int fd);

class FileWriteQueue
{
public:
    explicit FileWriteQueue(std::size_t maxQueuedBytes = std::size_t(8) * 1024 * 1024);
    // Drops the writes still queued (an extraction that failed takes its files back anyway),
    // closes their files and ends the thread.
    ~FileWriteQueue();
    FileWriteQueue(const FileWriteQueue&) = delete;
    FileWriteQueue& operator=(const FileWriteQueue&) = delete;

    // Queues a copy of the bytes for `fd`; false once a write has failed.
    bool write(int fd, const void* data, std::size_t bytes);
    // Queues the end of the file `fd`, which the queue then owns.
    void close(int fd);
    // Waits until every queued job has run; false when a write failed.
    bool finish();
    // The cause of the first failed write, in the system's words.
    QString errorString() const;

private:
    struct Job
    {
        int fd = -1;
        std::vector<char> data; // empty: the end of the file
    };

    void run();
    // Unlocks `lock`, waking the writing thread when enough waits for it.
    void wakeWriterWhenDue(std::unique_lock<std::mutex>& lock);

    const std::size_t m_maxQueuedBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_jobsQueued; // the writing thread waits for work
    std::condition_variable m_spaceMade;  // the unpacking thread waits for room, or the end
    std::deque<Job> m_jobs;
    std::size_t m_queuedBytes = 0;
    bool m_busy = false; // jobs taken off the queue are running
    bool m_writerWaiting = false;
    bool m_failed = false;
    QString m_error;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace quorvane
