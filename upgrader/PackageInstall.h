#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace quorvane {

// Puts the files of an unpacked package in place below the application folder, all or nothing,
// and keeps every file it replaces until the new version has proved that it starts.
class PackageInstall final
{
    Q_DISABLE_COPY_MOVE(PackageInstall)

public:
    // `unpackedDir` holds the package's files; `backupDir` (a new folder on the same file system
    // as the application folder) receives the files they replace.
    PackageInstall(QString appDir, QString unpackedDir, QString backupDir);

    // Moves every file into place; the program "quorvane_client.exe" gets its name on this system.
    // When one file cannot be put in place, everything done so far is taken back and the reason
    // is in `error`.
    bool install(QString* error);

    // Puts every replaced file back and removes every file and folder the install added.
    void rollBack();

    // The application folder's names the install wrote, relative to it.
    QStringList installedNames() const;

private:
    struct Step
    {
        QString name;   // below the application folder
        QString source; // the unpacked file
        QString backup; // where the replaced file went; empty when the name was new
        bool done = false;
    };

    bool place(Step& step, QString* error);

    QString m_appDir;
    QString m_unpackedDir;
    QString m_backupDir;
    std::vector<Step> m_steps;
    QStringList m_createdFolders; // outermost first
};

} // namespace quorvane
