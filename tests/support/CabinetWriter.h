#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quorvane {

// Cabinet files for tests.

// One file of a hand-made cabinet: the name is stored byte for byte, so names that gcab
// rewrites (absolute, "..", drive letters) can be written too.
struct CabinetFile
{
    QByteArray name;
    QByteArray data;
    quint16 attribs = 0x20; // "archived"; 0x80 marks a UTF-8 name, 0x40 an executable
};

// An uncompressed cabinet holding the files in the given order.
QByteArray buildCabinet(const QList<CabinetFile>& files);
void writeCabinet(const QString& path, const QList<CabinetFile>& files);

// Runs `gcab -c` (with `compress`, `gcab -z -c`) in `sourceDir` on the given relative names;
// false when gcab failed.
bool makeCabinetWithGcab(const QString& cabinetPath, const QString& sourceDir, const QStringList& names,
                         bool compress = false);

} // namespace quorvane
