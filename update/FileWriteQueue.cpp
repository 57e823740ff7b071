#include "update/FileWriteQueue.h"

#include "platform/RawFiles.h"

#include <cstring>

namespace quorvane {

namespace {

// The writing thread is woken once this much waits, not for every part: a wake-up costs more than
// writing a small part.
constexpr std::size_t kWakeBytes = 256 * 1024;
constexpr std::size_t kWakeJobs = 64;

} // namespace

void closeUnpackedFile(int fd)
{
    startWriteBack(fd);
    closeRawFile(fd);
}

FileWriteQueue::FileWriteQueue(std::size_t maxQueuedBytes)
    : m_maxQueuedBytes(maxQueuedBytes), m_thread([this] { run(); })
{
}

FileWriteQueue::~FileWriteQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_jobsQueued.notify_one();
    m_thread.join();
}

bool FileWriteQueue::write(int fd, const void* data, std::size_t bytes)
{
    std::unique_lock lock(m_mutex);
    if (bytes == 0)
        return !m_failed;
    // A part larger than the whole queue still goes, once the queue is empty.
    const auto room = [&] {
        return m_failed || m_queuedBytes == 0 || m_queuedBytes + bytes <= m_maxQueuedBytes;
    };
    if (!room()) {
        m_jobsQueued.notify_one();
        m_spaceMade.wait(lock, room);
    }
    if (m_failed)
        return false;
    Job job{fd, std::vector<char>(bytes)};
    std::memcpy(job.data.data(), data, bytes);
    m_jobs.push_back(std::move(job));
    m_queuedBytes += bytes;
    wakeWriterWhenDue(lock);
    return true;
}

void FileWriteQueue::close(int fd)
{
    std::unique_lock lock(m_mutex);
    m_jobs.push_back(Job{fd, {}});
    wakeWriterWhenDue(lock);
}

void FileWriteQueue::wakeWriterWhenDue(std::unique_lock<std::mutex>& lock)
{
    const bool due = m_writerWaiting && (m_queuedBytes >= kWakeBytes || m_jobs.size() >= kWakeJobs);
    lock.unlock();
    if (due)
        m_jobsQueued.notify_one();
}

bool FileWriteQueue::finish()
{
    std::unique_lock lock(m_mutex);
    m_jobsQueued.notify_one();
    m_spaceMade.wait(lock, [&] { return m_jobs.empty() && !m_busy; });
    return !m_failed;
}

QString FileWriteQueue::errorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

void FileWriteQueue::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_writerWaiting = true;
        m_jobsQueued.wait(lock, [&] { return m_stopping || !m_jobs.empty(); });
        m_writerWaiting = false;
        if (m_jobs.empty())
            return;
        std::deque<Job> batch;
        batch.swap(m_jobs);
        m_busy = true;
        bool skipWrites = m_failed || m_stopping;
        lock.unlock();

        std::size_t written = 0;
        QString error;
        for (Job& job : batch) {
            written += job.data.size();
            if (job.data.empty()) {
                if (skipWrites)
                    closeRawFile(job.fd);
                else
                    closeUnpackedFile(job.fd);
            } else if (!skipWrites && !writeRawFile(job.fd, job.data.data(), qint64(job.data.size()))) {
                error = lastSystemError();
                if (error.isEmpty())
                    error = QStringLiteral("write failed");
                skipWrites = true;
            }
        }

        lock.lock();
        m_queuedBytes -= written;
        if (!error.isEmpty() && !m_failed) {
            m_failed = true;
            m_error = error;
        }
        m_busy = false;
        m_spaceMade.notify_all();
    }
}

} // namespace quorvane
