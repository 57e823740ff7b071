#include "tests/support/CabinetWriter.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

namespace quorvane {

namespace {

constexpr int kHeaderSize = 36;
constexpr int kFolderSize = 8;
constexpr int kFileEntrySize = 16;
constexpr int kDataHeaderSize = 8;
constexpr int kMaxBlock = 32768;

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray buildCabinet(const QList<CabinetFile>& files)
{
    QByteArray stream;
    for (const CabinetFile& file : files)
        stream += file.data;
    const int blocks = (stream.size() + kMaxBlock - 1) / kMaxBlock;

    int entriesSize = 0;
    for (const CabinetFile& file : files)
        entriesSize += kFileEntrySize + file.name.size() + 1;
    const int filesOffset = kHeaderSize + kFolderSize;
    const int dataOffset = filesOffset + entriesSize;
    const int total = dataOffset + blocks * kDataHeaderSize + stream.size();

    QByteArray out;
    out += "MSCF";
    put32(out, 0);
    put32(out, total);
    put32(out, 0);
    put32(out, filesOffset);
    put32(out, 0);
    out += char(3); // format version 1.3
    out += char(1);
    put16(out, 1); // one folder
    put16(out, quint16(files.size()));
    put16(out, 0); // no flags
    put16(out, 0x1234);
    put16(out, 0);

    put32(out, dataOffset);
    put16(out, quint16(blocks));
    put16(out, 0); // stored, no compression

    quint32 offset = 0;
    for (const CabinetFile& file : files) {
        put32(out, quint32(file.data.size()));
        put32(out, offset);
        put16(out, 0);      // folder 0
        put16(out, 0x5921); // 2024-09-01
        put16(out, 0x6000); // 12:00:00
        put16(out, file.attribs);
        out += file.name;
        out += char(0);
        offset += quint32(file.data.size());
    }

    for (int i = 0; i < blocks; ++i) {
        const QByteArray block = stream.mid(i * kMaxBlock, kMaxBlock);
        put32(out, 0); // no checksum
        put16(out, quint16(block.size()));
        put16(out, quint16(block.size()));
        out += block;
    }
    return out;
}

void writeCabinet(const QString& path, const QList<CabinetFile>& files)
{
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(buildCabinet(files));
}

bool makeCabinetWithGcab(const QString& cabinetPath, const QString& sourceDir, const QStringList& names,
                         bool compress)
{
    QProcess gcab;
    gcab.setWorkingDirectory(sourceDir);
    gcab.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments;
    if (compress)
        arguments << QStringLiteral("-z");
    arguments << QStringLiteral("-c") << cabinetPath << names;
    gcab.start(QStringLiteral("gcab"), arguments);
    return gcab.waitForFinished(60000) && gcab.exitStatus() == QProcess::NormalExit && gcab.exitCode() == 0;
}

} // namespace quorvane
