#include "update/FileWriteQueue.h"
#include "platform/RawFiles.h"
#include "tests/support/FileTree.h"
#include "tests/support/TempProfile.h"
#include "update/GuardedCabinetSystem.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

bool isOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

class FileWriteQueueTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return m_profile.root() + QLatin1Char('/') + QLatin1String(name); }
    int create(const char* name) const
    {
        return openRegularFile(QFile::encodeName(path(name)).constData(), RawOpen::Write);
    }

    TempProfile m_profile;
};

TEST_F(FileWriteQueueTest, WritesEachFileInOrderAndClosesIt)
{
    // A queue of 16 bytes: the writer waits for room, and a part larger than the whole queue
    // still goes once the queue is empty.
    FileWriteQueue queue(16);
    const int first = create("first");
    const int second = create("second");
    const QByteArray large(40, 'L');
    ASSERT_TRUE(queue.write(first, "one,", 4));
    ASSERT_TRUE(queue.write(second, "2", 1));
    ASSERT_TRUE(queue.write(first, large.constData(), std::size_t(large.size())));
    ASSERT_TRUE(queue.write(first, "", 0));
    ASSERT_TRUE(queue.write(first, ",three", 6));
    queue.close(first);
    queue.close(second);
    EXPECT_TRUE(queue.finish());
    EXPECT_EQ(readBytes(path("first")), "one," + large + ",three");
    EXPECT_EQ(readBytes(path("second")), QByteArray("2"));
    EXPECT_FALSE(isOpen(first));
    EXPECT_FALSE(isOpen(second));
}

TEST_F(FileWriteQueueTest, AFailedWriteIsReportedAndLaterWritesAreDropped)
{
    FileWriteQueue queue;
    // Open for reading only: every write to it fails.
    closeRawFile(create("read-only"));
    const int broken = openRegularFile(QFile::encodeName(path("read-only")).constData(), RawOpen::Read);
    const int later = create("later");
    queue.write(broken, "lost", 4);
    queue.close(broken);
    EXPECT_FALSE(queue.finish());
    EXPECT_FALSE(queue.errorString().isEmpty());
    EXPECT_FALSE(queue.write(later, "dropped", 7));
    queue.close(later);
    EXPECT_FALSE(queue.finish());
    EXPECT_EQ(readBytes(path("later")), QByteArray());
    EXPECT_FALSE(isOpen(broken));
    EXPECT_FALSE(isOpen(later));
}

TEST_F(FileWriteQueueTest, CabinetFilesGoThroughTheQueueWhenOneIsSet)
{
    FileWriteQueue queue;
    GuardedCabinetSystem guarded;
    guarded.writeQueue = &queue;
    guarded.fileBudget = guarded.budget = 100;
    mspack_system* system = guarded.system();
    // The file made for the next output is one libmspack cannot write to.
    const QByteArray name = QFile::encodeName(path("prepared"));
    closeRawFile(openRegularFile(name.constData(), RawOpen::Write));
    guarded.preparedPath = name;
    guarded.preparedFd = openRegularFile(name.constData(), RawOpen::Read);
    mspack_file* file = system->open(system, name.constData(), MSPACK_SYS_OPEN_WRITE);
    ASSERT_NE(file, nullptr);
    char data[4] = {'a', 'b', 'c', 'd'};
    // Queued: the failure shows when the extraction waits for its files.
    EXPECT_EQ(system->write(file, data, 4), 4);
    system->close(file);
    EXPECT_FALSE(queue.finish());
}

} // namespace

} // namespace quorvane
