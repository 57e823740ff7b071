#include "update/CabinetReader.h"
#include "platform/AnsiCodePage.h"
#include "platform/DiskSpace.h"
#include "tests/support/CabinetWriter.h"
#include "tests/support/FileTree.h"
#include "tests/support/TempProfile.h"
#include "update/GuardedCabinetSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtEndian>
#include <atomic>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

namespace quorvane {

namespace {

QByteArray pattern(int size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(seed + i * 7 + i / 251);
    return data;
}

class CabinetReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(source());
        QDir().mkpath(target());
    }

    QString source() const { return m_profile.root() + QStringLiteral("/source"); }
    QString target() const { return m_profile.root() + QStringLiteral("/target"); }
    QString cabinet() const { return m_profile.root() + QStringLiteral("/package.cab"); }

    void addSource(const QString& name, const QByteArray& data)
    {
        TempProfile::writeFile(source() + QLatin1Char('/') + name, data);
    }

    // Extracts into Target(), recording the names the reader asked about.
    bool extract(const QString& cabinet)
    {
        m_asked.clear();
        return m_reader.extract(cabinet, [this](const QString& name) {
            m_asked << name;
            return target() + QLatin1Char('/') + name;
        });
    }

    TempProfile m_profile;
    CabinetReader m_reader;
    QStringList m_asked;
};

TEST_F(CabinetReaderTest, UnpacksGcabArchivesInArchiveOrder)
{
    const QByteArray big = pattern(300000, 3); // several data blocks
    addSource(QStringLiteral("quorvane_client.exe"), big);
    addSource(QStringLiteral("readme.txt"), "read me\r\n");
    addSource(QStringLiteral("skin/images/logo.bmp"), pattern(5000, 9));
    addSource(QStringLiteral("empty.dat"), QByteArray());
    const QStringList names{QStringLiteral("readme.txt"), QStringLiteral("skin/images/logo.bmp"),
                            QStringLiteral("quorvane_client.exe"), QStringLiteral("empty.dat")};

    for (const bool compress : {false, true}) {
        SCOPED_TRACE(compress ? "MSZIP" : "stored");
        QDir(target()).removeRecursively();
        ASSERT_TRUE(makeCabinetWithGcab(cabinet(), source(), names, compress));
        ASSERT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
        EXPECT_TRUE(m_reader.errorString().isEmpty());
        EXPECT_EQ(m_asked, names); // folder parts arrive as "/"
        EXPECT_EQ(readBytes(target() + QStringLiteral("/quorvane_client.exe")), big);
        EXPECT_EQ(readBytes(target() + QStringLiteral("/readme.txt")), QByteArray("read me\r\n"));
        EXPECT_EQ(readBytes(target() + QStringLiteral("/skin/images/logo.bmp")), pattern(5000, 9));
        EXPECT_EQ(tree(target()),
                  (QStringList{QStringLiteral("empty.dat"), QStringLiteral("quorvane_client.exe"),
                               QStringLiteral("readme.txt"), QStringLiteral("skin"),
                               QStringLiteral("skin/images"), QStringLiteral("skin/images/logo.bmp")}));
    }
}

TEST_F(CabinetReaderTest, ReplacesExistingFilesAndKeepsTheirPermissions)
{
    addSource(QStringLiteral("tool.sh"), "#!/bin/sh\necho new\n");
    ASSERT_TRUE(makeCabinetWithGcab(cabinet(), source(), {QStringLiteral("tool.sh")}));
    const QString tool = target() + QStringLiteral("/tool.sh");
    TempProfile::writeFile(tool, "#!/bin/sh\necho old\n");
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    QFile::setPermissions(tool, mode);

    ASSERT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    EXPECT_EQ(readBytes(tool), QByteArray("#!/bin/sh\necho new\n"));
    EXPECT_EQ(QFile::permissions(tool) & 0x7077, mode & 0x7077);       // owner, group, others
    EXPECT_EQ(tree(target()), QStringList{QStringLiteral("tool.sh")}); // no unpacked copy left beside it
}

TEST_F(CabinetReaderTest, DecodesUtf8AndAnsiNames)
{
    const QString chinese = QStringLiteral("说明.txt");
    addSource(chinese, "utf");
    ASSERT_TRUE(makeCabinetWithGcab(cabinet(), source(), {chinese}));
    ASSERT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    EXPECT_EQ(m_asked, QStringList{chinese});
    EXPECT_EQ(readBytes(target() + QLatin1Char('/') + chinese), QByteArray("utf"));

    // Without the UTF-8 mark a name is in the ANSI code page.
    const QString ansiName = QStringLiteral("更新\\日志.txt");
    writeCabinet(cabinet(), {{toAnsi(ansiName), "ansi", 0x20}});
    ASSERT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    EXPECT_EQ(m_asked, QStringList{QStringLiteral("更新/日志.txt")});
    EXPECT_EQ(readBytes(target() + QStringLiteral("/更新/日志.txt")), QByteArray("ansi"));
}

// A hostile name fails the whole archive before anything is written, even the harmless file
// that comes first.
TEST_F(CabinetReaderTest, RefusesHostileNamesBeforeWritingAnything)
{
    const QString outside = m_profile.root() + QStringLiteral("/outside.txt");
    const QByteArray hostile[] = {
        "/etc/quorvane_test",
        "\\quorvane_test",
        QFile::encodeName(outside),
        "..\\outside.txt",
        "../outside.txt",
        "sub\\..\\..\\outside.txt",
        "sub/../../outside.txt",
        "C:\\Windows\\evil.dll",
        "c:evil.dll",
        "sub\\",
        "sub\\\\evil.dll",
        ".\\evil.dll",
        "..",
        "evil\ttab.txt",
    };
    for (const QByteArray& name : hostile) {
        SCOPED_TRACE(name.toStdString());
        writeCabinet(cabinet(), {{"first.txt", "harmless"}, {name, "evil"}, {"last.txt", "harmless"}});
        EXPECT_FALSE(extract(cabinet()));
        EXPECT_FALSE(m_reader.errorString().isEmpty());
        EXPECT_EQ(tree(target()), QStringList());
        EXPECT_FALSE(QFile::exists(outside));
        EXPECT_FALSE(m_asked.contains(QStringLiteral("last.txt")));
    }
}

TEST(CabinetReaderNames, SafeRelativeName)
{
    const struct
    {
        QString archiveName;
        QString expected;
    } cases[] = {
        {QStringLiteral("quorvane_client.exe"), QStringLiteral("quorvane_client.exe")},
        {QStringLiteral("Quorvane_Client.exe"), QStringLiteral("Quorvane_Client.exe")},
        {QStringLiteral("skin\\main\\bg.bmp"), QStringLiteral("skin/main/bg.bmp")},
        {QStringLiteral("skin/bg.bmp"), QStringLiteral("skin/bg.bmp")},
        {QStringLiteral("a..b.txt"), QStringLiteral("a..b.txt")},
        {QStringLiteral("..txt"), QStringLiteral("..txt")},
        {QStringLiteral("1:2.txt"), QStringLiteral("1:2.txt")},
        {QString(), QString()},
        {QStringLiteral("\\x"), QString()},
        {QStringLiteral("/x"), QString()},
        {QStringLiteral("D:x"), QString()},
        {QStringLiteral("x\\..\\y"), QString()},
        {QStringLiteral("x\\.\\y"), QString()},
        {QStringLiteral("x\\"), QString()},
        {QStringLiteral("x\ny"), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CabinetReader::safeRelativeName(c.archiveName), c.expected) << c.archiveName.toStdString();
}

TEST_F(CabinetReaderTest, FailsOnTargetPathsOver259Bytes)
{
    // A name that makes the target exactly 259 bytes still fits; one more byte does not.
    const int room = CabinetReader::kMaxTargetPathBytes - int(toAnsi(target() + QLatin1Char('/')).size());
    ASSERT_GT(room, 10);
    const QString fits = QString(room, QLatin1Char('a'));
    const QString tooLong = QString(room + 1, QLatin1Char('b'));
    // Chinese characters take two bytes each in the ANSI code page.
    const QString tooLongChinese =
        QString((room + 1) / 2, QChar(0x5347)) + (room % 2 ? QString() : QStringLiteral("c"));

    writeCabinet(cabinet(), {{fits.toLatin1(), "ok"}});
    EXPECT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    QDir(target()).removeRecursively();
    QDir().mkpath(target());

    for (const QString& name : {tooLong, tooLongChinese}) {
        writeCabinet(cabinet(), {{"first.txt", "ok"}, {toAnsi(name), "too long"}});
        EXPECT_FALSE(extract(cabinet()));
        EXPECT_EQ(tree(target()), QStringList());
    }
}

// Found by fuzzing: a folder part that fits the target buffer in the ANSI code page but is too long
// for the file system fails half way through creating its folders; the outer ones made before
// the failure must go again.
TEST_F(CabinetReaderTest, FolderPartTooLongForTheFileSystemLeavesNoFolders)
{
    const QString part(90, QChar(0x5347)); // 180 ANSI bytes, 270 bytes in the file system
    ASSERT_LT(toAnsi(target() + QStringLiteral("/skin/") + part + QStringLiteral("/x.txt")).size(),
              CabinetReader::kMaxTargetPathBytes);
    writeCabinet(cabinet(),
                 {{"first.txt", "ok"}, {toAnsi(QStringLiteral("skin\\%1\\x.txt").arg(part)), "x"}});
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_TRUE(m_reader.errorString().contains(QLatin1String("cannot create folder")))
        << m_reader.errorString().toStdString();
    EXPECT_EQ(tree(target()), QStringList());
}

// The package is one cabinet: one that continues another or continues in another file, or holds a
// file continued from another, is refused whole.
TEST_F(CabinetReaderTest, RefusesCabinetsThatSpanSeveralFiles)
{
    const QByteArray single = buildCabinet({{"a.txt", "a"}, {"b.txt", "b"}});
    ASSERT_EQ(single.mid(30, 2), QByteArray(2, '\0')); // no flags
    // Sets the header flags and inserts the names of the other cabinets after the header.
    const auto spanning = [&](char flags, const QByteArray& names) {
        QByteArray cabinet = single;
        cabinet[30] = flags;
        cabinet.insert(36, names);
        const auto addTo = [&](int at, int add) {
            const quint32 value = qFromLittleEndian<quint32>(cabinet.constData() + at) + quint32(add);
            qToLittleEndian(value, cabinet.data() + at);
        };
        addTo(8, int(names.size()));                      // cabinet size
        addTo(16, int(names.size()));                     // first file entry
        addTo(36 + int(names.size()), int(names.size())); // the folder's first data block
        return cabinet;
    };
    // Marks the second file as continued from a previous cabinet (0xFFFD) or both ways (0xFFFF).
    const auto continued = [&](char index) {
        QByteArray cabinet = single;
        const int second = qFromLittleEndian<quint32>(single.constData() + 16) + 16 + 6;
        cabinet[second + 8] = index;
        cabinet[second + 9] = char(0xFF);
        return cabinet;
    };
    const struct
    {
        const char* what;
        QByteArray cabinet;
    } cases[] = {
        {"continues in a next cabinet", spanning(0x02, QByteArray("next.cab\0disk 2\0", 16))},
        {"continues a previous cabinet", spanning(0x01, QByteArray("prev.cab\0disk 1\0", 16))},
        {"both", spanning(0x03, QByteArray("prev.cab\0disk 1\0next.cab\0disk 2\0", 32))},
        {"a file continued from a previous cabinet", continued(char(0xFD))},
        {"a file continued both ways", continued(char(0xFF))},
    };
    TempProfile::writeFile(cabinet(), single);
    ASSERT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
        TempProfile::writeFile(cabinet(), c.cabinet);
        EXPECT_FALSE(extract(cabinet()));
        EXPECT_FALSE(m_reader.errorString().isEmpty());
        EXPECT_EQ(tree(target()), QStringList());
    }
}

TEST_F(CabinetReaderTest, FailsWhenTheCallbackRefusesAFile)
{
    writeCabinet(cabinet(), {{"a.txt", "a"}, {"b.txt", "b"}});
    const bool ok = m_reader.extract(cabinet(), [this](const QString& name) {
        return name == QLatin1String("b.txt") ? QString() : target() + QLatin1Char('/') + name;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(tree(target()), QStringList());
}

TEST_F(CabinetReaderTest, FailsOnFilesThatAreNoCabinets)
{
    const struct
    {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"empty", QByteArray()},
        {"text", "<html>404 Not Found</html>"},
        {"signature only", "MSCF"},
        {"zip", QByteArray("PK\x03\x04", 4) + pattern(200, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempProfile::writeFile(cabinet(), c.content);
        EXPECT_FALSE(extract(cabinet()));
        EXPECT_FALSE(m_reader.errorString().isEmpty());
        EXPECT_EQ(tree(target()), QStringList());
    }
    EXPECT_FALSE(extract(m_profile.root() + QStringLiteral("/missing.cab")));
}

// A cut-off download leaves every target as it was, whatever the cut.
TEST_F(CabinetReaderTest, FailsOnTruncatedArchivesAndKeepsOldFiles)
{
    addSource(QStringLiteral("a.txt"), "first file");
    addSource(QStringLiteral("quorvane_client.exe"), pattern(200000, 5));
    const QStringList names{QStringLiteral("a.txt"), QStringLiteral("quorvane_client.exe")};
    const QString old = target() + QStringLiteral("/a.txt");

    for (const bool compress : {false, true}) {
        ASSERT_TRUE(makeCabinetWithGcab(cabinet(), source(), names, compress));
        const QByteArray whole = readBytes(cabinet());
        for (const double share : {0.1, 0.5, 0.9, 0.999}) {
            SCOPED_TRACE(testing::Message() << (compress ? "MSZIP " : "stored ") << share);
            QDir(target()).removeRecursively();
            TempProfile::writeFile(old, "old content");
            TempProfile::writeFile(cabinet(), whole.left(qsizetype(whole.size() * share)));
            EXPECT_FALSE(extract(cabinet()));
            EXPECT_EQ(readBytes(old), QByteArray("old content"));
            EXPECT_EQ(tree(target()), QStringList{QStringLiteral("a.txt")});
        }
        TempProfile::writeFile(cabinet(), whole);
        EXPECT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    }
}

TEST_F(CabinetReaderTest, FailsWhenATargetCannotBeWritten)
{
    // A folder where the file should go cannot be replaced by it.
    QDir().mkpath(target() + QStringLiteral("/b.txt"));
    TempProfile::writeFile(target() + QStringLiteral("/a.txt"), "old");
    writeCabinet(cabinet(), {{"a.txt", "new"}, {"b.txt", "b"}, {"c\\d.txt", "d"}});
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_EQ(readBytes(target() + QStringLiteral("/a.txt")), QByteArray("old"));
    EXPECT_EQ(tree(target()), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

} // namespace

namespace {

// A cabinet whose `entries` files all claim `lengthEach` bytes from the start of one small data
// block: a few kilobytes that would unpack to entries x lengthEach bytes.
QByteArray sharedBlockBomb(int entries, quint32 lengthEach)
{
    QList<CabinetFile> files;
    for (int i = 0; i < entries; ++i)
        files.append({QByteArray("f") + QByteArray::number(i).rightJustified(3, '0'), i == 0 ? "x" : ""});
    QByteArray cabinet = buildCabinet(files);
    const int filesOffset = qFromLittleEndian<quint32>(cabinet.constData() + 16);
    int entry = filesOffset;
    for (int i = 0; i < entries; ++i) {
        qToLittleEndian<quint32>(lengthEach, cabinet.data() + entry);
        qToLittleEndian<quint32>(0, cabinet.data() + entry + 4);
        entry += 16 + files[i].name.size() + 1;
    }
    return cabinet;
}

} // namespace

// Packages the reader refuses from their headers alone: nothing at all is written.
TEST_F(CabinetReaderTest, RefusesPackagesOverItsLimitsBeforeWritingAnything)
{
    QList<CabinetFile> tooMany;
    for (int i = 0; i <= 1000; ++i)
        tooMany.append({QByteArray("n") + QByteArray::number(i), ""});
    const struct
    {
        const char* what;
        QByteArray cabinet;
        const char* error;
    } cases[] = {
        {"many entries sharing one block", sharedBlockBomb(100, 3 * 1024 * 1024), "more than 268435456"},
        {"1001 entries", buildCabinet(tooMany), "more than 1000"},
        {"a file, then a folder of that name", buildCabinet({{"x", "1"}, {"x\\y", "2"}}),
         "both a file and the folder"},
        {"a folder, then a file of that name", buildCabinet({{"x\\y", "2"}, {"x", "1"}}),
         "both a file and the folder"},
        {"the same name twice", buildCabinet({{"a", "1"}, {"a", "2"}}), "twice"},
        {"the same name with either separator", buildCabinet({{"d\\a", "1"}, {"d/a", "2"}}), "twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LT(c.cabinet.size(), 64 * 1024);
        QFile file(cabinet());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.cabinet);
        file.close();
        EXPECT_FALSE(extract(cabinet()));
        EXPECT_TRUE(m_reader.errorString().contains(QString::fromUtf8(c.error)))
            << m_reader.errorString().toStdString();
        EXPECT_EQ(tree(target()), QStringList());
    }
}

TEST_F(CabinetReaderTest, RefusesAPackageTheDiskHasNoRoomFor)
{
    EXPECT_GT(freeDiskBytes(target()).value_or(0), 0); // the system's own answer
    writeCabinet(cabinet(), {{"a.dat", pattern(5000, 1)}, {"sub\\b.dat", pattern(5000, 2)}});
    QStringList asked;
    m_reader.setFreeSpaceProbe([&asked](const QString& folder) -> std::optional<qint64> {
        asked << folder;
        return 9999;
    });
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_TRUE(m_reader.errorString().contains(QStringLiteral("not enough free space")))
        << m_reader.errorString().toStdString();
    EXPECT_EQ(asked, QStringList{target()}); // the nearest folder that exists
    EXPECT_EQ(tree(target()), QStringList());

    m_reader.setFreeSpaceProbe([](const QString&) -> std::optional<qint64> { return 10000; });
    EXPECT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
}

// Ending the client never waits for an extraction: the flag is seen before the first file and
// between the blocks of a large one, and what was written is taken back.
TEST_F(CabinetReaderTest, AnAbortStopsTheExtractionAndLeavesNothing)
{
    TempProfile::writeFile(target() + QStringLiteral("/big.dat"), "old");
    writeCabinet(cabinet(), {{"small.dat", "s"}, {"big.dat", pattern(300000, 4)}});
    std::atomic<bool> abort = true;
    m_reader.setAbortFlag(&abort);
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_EQ(m_reader.errorString(), QStringLiteral("aborted"));
    EXPECT_TRUE(m_asked.isEmpty());

    abort = false;
    qint64 seen = 0;
    m_reader.setProgress([&](qint64 written) {
        seen = written;
        if (written > 100000)
            abort = true;
    });
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_EQ(m_reader.errorString(), QStringLiteral("aborted"));
    EXPECT_GT(seen, 100000);
    EXPECT_LT(seen, 300001);
    EXPECT_EQ(tree(target()), QStringList{QStringLiteral("big.dat")});
    EXPECT_EQ(readBytes(target() + QStringLiteral("/big.dat")), QByteArray("old"));
}

// The limits a caller sets hold to the byte and the entry; a package at a limit still unpacks.
TEST_F(CabinetReaderTest, UnpacksUpToTheLimitsSetAndNoFurther)
{
    QList<CabinetFile> ten;
    for (int i = 0; i < 10; ++i)
        ten.append({QByteArray("f") + QByteArray::number(i), pattern(10, char(i))});
    QList<CabinetFile> eleven = ten;
    eleven.append(CabinetFile{"f10", ""});
    // MSZIP turns 4 MiB of zeros into a few kilobytes.
    addSource(QStringLiteral("zeros.dat"), QByteArray(4 * 1024 * 1024, '\0'));
    ASSERT_TRUE(makeCabinetWithGcab(cabinet(), source(), {QStringLiteral("zeros.dat")}, true));
    const QByteArray zeros = readBytes(cabinet());
    ASSERT_LT(zeros.size(), 64 * 1024);

    const QByteArray oneBlock = sharedBlockBomb(300, 64 * 1024);
    const CabinetReader::Limits defaults;
    const struct
    {
        const char* what;
        QByteArray cabinet;
        CabinetReader::Limits limits;
        const char* error; // nullptr: the package unpacks
    } cases[] = {
        {"as many files as allowed", buildCabinet(ten), {10, 1000}, nullptr},
        {"one file more than allowed", buildCabinet(eleven), {10, 1000}, "holds 11 files, more than 10"},
        {"as many bytes as allowed", buildCabinet(ten), {1000, 100}, nullptr},
        {"one byte more than allowed", buildCabinet(ten), {1000, 99}, "unpacks to 100 bytes, more than 99"},
        {"300 entries in one block", oneBlock, {1000, 1024 * 1024}, "19660800 bytes, more than 1048576"},
        {"compressed zeros", zeros, {1000, 1024 * 1024}, "unpacks to 4194304 bytes, more than 1048576"},
        {"one file declaring more than the default", sharedBlockBomb(1, 300 * 1024 * 1024), defaults,
         "unpacks to 314572800 bytes, more than 268435456"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
        TempProfile::writeFile(cabinet(), c.cabinet);
        m_reader.setLimits(c.limits);
        const bool unpacked = extract(cabinet());
        if (!c.error) {
            EXPECT_TRUE(unpacked) << m_reader.errorString().toStdString();
            EXPECT_EQ(tree(target()).size(), 10);
            continue;
        }
        EXPECT_FALSE(unpacked);
        EXPECT_TRUE(m_reader.errorString().contains(QLatin1String(c.error)))
            << m_reader.errorString().toStdString();
        EXPECT_TRUE(m_asked.isEmpty()); // refused from the headers, before any target is chosen
        EXPECT_EQ(tree(target()), QStringList());
    }
}

// Without a probe of its own the reader asks the file system itself.
TEST_F(CabinetReaderTest, TheSystemsFreeSpaceDecides)
{
    const std::optional<qint64> free = freeDiskBytes(target());
    ASSERT_TRUE(free.has_value());
    // Others write to this disk too; the two answers need only be of one size.
    EXPECT_NEAR(double(*free), double(QStorageInfo(target()).bytesAvailable()), 256.0 * 1024 * 1024);
    EXPECT_FALSE(freeDiskBytes(target() + QStringLiteral("/missing")).has_value());

    // Entries sharing one block declare a little more than the disk holds.
    const quint32 each = 0x7FFF0000;
    const qint64 entries = *free / each + 2;
    if (entries > 1000)
        GTEST_SKIP() << "the disk holds more than 1,000 files of 2 GiB";
    TempProfile::writeFile(cabinet(), sharedBlockBomb(int(entries), each));
    m_reader.setLimits({1000, std::numeric_limits<qint64>::max()});
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_TRUE(m_reader.errorString().contains(QLatin1String("not enough free space in ") + target()))
        << m_reader.errorString().toStdString();
    EXPECT_EQ(tree(target()), QStringList());
}

// However late the flag comes, while no target has been replaced the old files stay as they were
// and nothing new is left.
TEST_F(CabinetReaderTest, AnAbortBeforeTheFirstReplacementTakesEverythingBack)
{
    TempProfile::writeFile(target() + QStringLiteral("/big.dat"), "old");
    const QByteArray big = pattern(300000, 4);
    writeCabinet(cabinet(), {{"small.dat", "s"}, {"big.dat", big}, {"sub\\last.dat", "l"}});
    const qint64 total = 1 + big.size() + 1;
    const struct
    {
        const char* what;
        QString abortWhenAsked; // the flag is set when this target is chosen
        qint64 abortAfterBytes; // or once this much is written
    } cases[] = {
        {"while the targets are chosen", QStringLiteral("sub/last.dat"), -1},
        {"between two files", QString(), 1},
        {"in the middle of a large file", QString(), 150000},
        {"after the last block", QString(), total},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::atomic<bool> abort = false;
        m_reader.setAbortFlag(&abort);
        qint64 written = 0;
        qint64 writtenAtAbort = 0;
        m_reader.setProgress([&](qint64 bytes) {
            written = bytes;
            if (c.abortAfterBytes >= 0 && bytes >= c.abortAfterBytes && !abort) {
                abort = true;
                writtenAtAbort = bytes;
            }
        });
        const bool unpacked = m_reader.extract(cabinet(), [&](const QString& name) {
            if (name == c.abortWhenAsked)
                abort = true;
            return target() + QLatin1Char('/') + name;
        });
        EXPECT_FALSE(unpacked);
        EXPECT_EQ(m_reader.errorString(), QStringLiteral("aborted"));
        EXPECT_EQ(written, writtenAtAbort); // not one block after the flag
        EXPECT_EQ(tree(target()), QStringList{QStringLiteral("big.dat")});
        EXPECT_EQ(readBytes(target() + QStringLiteral("/big.dat")), QByteArray("old"));
    }
    m_reader.setProgress({});
    std::atomic<bool> abort = false;
    m_reader.setAbortFlag(&abort);
    EXPECT_TRUE(extract(cabinet())) << m_reader.errorString().toStdString();
    EXPECT_EQ(readBytes(target() + QStringLiteral("/big.dat")), big);
}

// The archive's path is the client's own, but whatever sits there is never waited on.
TEST_F(CabinetReaderTest, AFifoInPlaceOfTheArchiveFailsAtOnce)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(cabinet()).constData(), 0600), 0);
    EXPECT_FALSE(extract(cabinet()));
    EXPECT_TRUE(m_reader.errorString().contains(QLatin1String("could not be opened")))
        << m_reader.errorString().toStdString();
    EXPECT_EQ(tree(target()), QStringList());
}

// The guards below libmspack, which a well-formed archive never reaches: writes beyond a file's
// declared length or the archive's declared total, files that are no regular files, an abort.
TEST_F(CabinetReaderTest, TheFileAccessHoldsItsGuards)
{
    const QString out = target() + QStringLiteral("/out.dat");
    const struct
    {
        const char* what;
        int64_t fileBudget;
        int64_t budget;
        int secondWrite; // what the second of two 4-byte writes answers
        qint64 size;     // what reaches the file
    } cases[] = {
        {"within both", 8, 8, 4, 8},
        {"past the file's length", 7, 100, -1, 4},
        {"past the total", 100, 7, -1, 4},
    };
    char data[4] = {'a', 'b', 'c', 'd'};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GuardedCabinetSystem guarded;
        guarded.fileBudget = c.fileBudget;
        guarded.budget = c.budget;
        mspack_system* system = guarded.system();
        mspack_file* file = system->open(system, QFile::encodeName(out).constData(), MSPACK_SYS_OPEN_WRITE);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(system->write(file, data, 4), 4);
        EXPECT_EQ(system->write(file, data, 4), c.secondWrite);
        system->close(file);
        EXPECT_EQ(guarded.overBudget, c.secondWrite < 0);
        EXPECT_EQ(QFileInfo(out).size(), c.size);
    }

    const QString fifo = target() + QStringLiteral("/fifo");
    const QString link = target() + QStringLiteral("/link");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(out, link));
    GuardedCabinetSystem guarded;
    guarded.fileBudget = guarded.budget = 100;
    mspack_system* system = guarded.system();
    for (const QString& path : {fifo, link}) {
        for (const int mode : {MSPACK_SYS_OPEN_READ, MSPACK_SYS_OPEN_WRITE}) {
            SCOPED_TRACE(testing::Message() << path.toStdString() << " mode " << mode);
            EXPECT_EQ(system->open(system, QFile::encodeName(path).constData(), mode), nullptr);
        }
    }

    std::atomic<bool> abort = false;
    guarded.abort = &abort;
    mspack_file* file = system->open(system, QFile::encodeName(out).constData(), MSPACK_SYS_OPEN_READ);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(system->read(file, data, 4), 4);
    abort = true;
    EXPECT_EQ(system->read(file, data, 4), -1);
    system->close(file);
    file = system->open(system, QFile::encodeName(out).constData(), MSPACK_SYS_OPEN_WRITE);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(system->write(file, data, 4), -1);
    system->close(file);
}

} // namespace quorvane
