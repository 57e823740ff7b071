#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorvane {

// Every file and folder below `dir`, relative to it, sorted.
QStringList tree(const QString& dir);

// The file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString& path);

} // namespace quorvane
