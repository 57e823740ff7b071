#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Puts the files of an unpacked package in place below the application folder, all or nothing,
// and keeps every file it replaces until the new version has proved that it starts.
class TPackageInstall final
{
    Q_DISABLE_COPY_MOVE(TPackageInstall)

public:
    // `unpackedDir` holds the package's files; `backupDir` (a new folder on the same file system
    // as the application folder) receives the files they replace.
    TPackageInstall(QString appDir, QString unpackedDir, QString backupDir);

    // Moves every file into place; the program "quorvane_client.exe" gets its name on this system.
    // When one file cannot be put in place, everything done so far is taken back and the reason
    // is in `error`.
    bool Install(QString* error);

    // Puts every replaced file back and removes every file and folder the install added.
    void RollBack();

    // The application folder's names the install wrote, relative to it.
    QStringList InstalledNames() const;

private:
    struct Step
    {
        QString name;   // below the application folder
        QString source; // the unpacked file
        QString backup; // where the replaced file went; empty when the name was new
        bool done = false;
    };

    bool Place(Step& step, QString* error);

    QString appDir_;
    QString unpackedDir_;
    QString backupDir_;
    std::vector<Step> steps_;
    QStringList createdFolders_; // outermost first
};
