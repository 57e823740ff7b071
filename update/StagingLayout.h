#pragma once

#include <QString>

namespace quorvane {

// Where a staged package's pieces lie: "<parent>/update-XXXXXX" holds the package, its
// signature, and below "files" the unpacked files. The client and the updater both read a staged
// program's path through here.
struct StagingLayout
{
    QString folder; // ".../update-XXXXXX"

    QString package() const;
    QString signature() const;
    QString unpacked() const;
    QString program() const; // Unpacked() + "/quorvane_client.exe"

    // The staging that holds `program`, when the path has the staged program's shape
    // (".../update-XXXXXX/files/quorvane_client.exe"); an empty folder otherwise.
    static StagingLayout ofProgram(const QString& program);
};

} // namespace quorvane
