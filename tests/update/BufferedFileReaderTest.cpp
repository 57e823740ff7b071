#include "update/BufferedFileReader.h"
#include "platform/RawFiles.h"
#include "tests/support/TempProfile.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace quorvane {

namespace {

constexpr qint64 kBuffer = BufferedFileReader::kBufferSize;

// Each step seeks (unless `from` is empty) and then reads `read` bytes; the bytes and the
// position must be what the file holds there.
struct Step
{
    std::optional<RawSeek> from;
    qint64 offset;
    qint64 read;
};

struct ReadCase
{
    const char* name;
    std::vector<Step> steps;
};

class BufferedFileReaderTest : public ::testing::TestWithParam<ReadCase>
{
protected:
    TempProfile m_profile;
};

TEST_P(BufferedFileReaderTest, ReadsWhatTheFileHoldsWhereverItSeeks)
{
    QByteArray content(int(3 * kBuffer + 123), Qt::Uninitialized);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 31 + i / 7);
    const QString path = m_profile.root() + QStringLiteral("/content.bin");
    TempProfile::writeFile(path, content);
    const int fd = openRegularFile(QFile::encodeName(path).constData(), RawOpen::Read);
    ASSERT_GE(fd, 0);
    BufferedFileReader reader(fd);

    qint64 position = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(testing::Message()
                     << "at " << position << ", offset " << step.offset << ", read " << step.read);
        if (step.from) {
            ASSERT_TRUE(reader.seek(step.offset, *step.from));
            position = *step.from == RawSeek::Set       ? step.offset
                       : *step.from == RawSeek::Current ? position + step.offset
                                                        : content.size() + step.offset;
        }
        EXPECT_EQ(reader.position(), position);
        QByteArray got(int(step.read), Qt::Uninitialized);
        const qint64 count = reader.read(got.data(), step.read);
        const QByteArray expected = content.mid(int(position), int(step.read));
        ASSERT_EQ(count, expected.size());
        EXPECT_EQ(got.left(int(count)), expected);
        position += count;
        EXPECT_EQ(reader.position(), position);
    }
    closeRawFile(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, BufferedFileReaderTest,
    ::testing::Values(
        // How a cabinet is opened: a small record, a name, back to the next record.
        ReadCase{"EntriesReadAndSeekedBack",
                 {{{}, 0, 16},
                  {{}, 0, 256},
                  {RawSeek::Set, 38, 16},
                  {{}, 0, 256},
                  {RawSeek::Set, 76, 16},
                  {RawSeek::Current, -16, 16}}},
        ReadCase{"SmallReadsAcrossTheBufferEnd", {{RawSeek::Set, kBuffer - 5, 3}, {{}, 0, 10}, {{}, 0, 1}}},
        // How a cabinet's data is read: a block header, then the block, larger than the buffer.
        ReadCase{"LargeReadsGoStraightThrough",
                 {{{}, 0, 8}, {{}, 0, kBuffer + 100}, {{}, 0, 8}, {{}, 0, 2 * kBuffer}}},
        ReadCase{"BackwardsIntoWhatWasBuffered",
                 {{{}, 0, 100}, {RawSeek::Set, 10, 20}, {RawSeek::Current, -30, 5}}},
        ReadCase{"FromTheEnd", {{RawSeek::End, -10, 4}, {RawSeek::End, -3, 100}, {{}, 0, 5}}},
        ReadCase{"PastTheEnd", {{RawSeek::Set, 3 * kBuffer + 200, 10}, {RawSeek::Set, 0, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BufferedFileReader, RefusesAPositionBeforeTheStart)
{
    TempProfile profile;
    const QString path = profile.root() + QStringLiteral("/content.bin");
    TempProfile::writeFile(path, "0123456789");
    const int fd = openRegularFile(QFile::encodeName(path).constData(), RawOpen::Read);
    BufferedFileReader reader(fd);
    EXPECT_FALSE(reader.seek(-1, RawSeek::Set));
    EXPECT_FALSE(reader.seek(-11, RawSeek::End));
    EXPECT_EQ(reader.position(), 0);
    char byte = 0;
    EXPECT_EQ(reader.read(&byte, 1), 1);
    EXPECT_EQ(byte, '0');
    closeRawFile(fd);
}

} // namespace

} // namespace quorvane
