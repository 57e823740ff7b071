#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace quorvane {

// A package staged the way the client stages it: "<parent>/update-XXXXXX" (mode 0700) holding the
// cabinet made by gcab from `files`, its minisign signature by `secretKey` for `version`, and
// "files/quorvane_client.exe" unpacked. Answers the staged program's path (the record's
// fileName), or empty when something failed.
QString stagePackage(const QString& parent, const QList<QPair<QString, QByteArray>>& files,
                     const QString& version, const QString& secretKey);

// The folder "update-XXXXXX" of a staged program.
QString stagingOf(const QString& program);

} // namespace quorvane
