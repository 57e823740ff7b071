#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// Files and folders that only one user could have written. An update is staged in them, and the
// updater, which may run as root, reads nothing else.

// The id of the user this process runs as.
uint currentUserId();

// Makes `path` a folder of this user's that nobody else may enter: created with mode 0700 when
// missing (with its missing parents); an existing one must be a real folder (not a link) owned
// by the user, and is tightened to 0700. Empty on success, otherwise the reason.
QString ensurePrivateFolder(const QString& path);

// Makes a new, uniquely named folder "<prefix>XXXXXX" below `parent` with mode 0700; empty on
// failure.
QString makePrivateFolder(const QString& parent, const QString& prefix);

// Why `path` is not a folder that only `owner` may write: it must be a real folder owned by
// `owner` that group and others may not write. Empty when it is one.
QString checkPrivateFolder(const QString& path, uint owner);

// What was read from a private file.
struct PrivateFile
{
    QString error; // empty when the file passed every check and was read whole
    qint64 size = 0;
    QByteArray sha256;  // raw digest of the bytes read
    QByteArray content; // the bytes, when asked for
};

// Opens `path` without following a link or waiting on a FIFO and reads it whole, once. It must be
// a regular file owned by `owner`, with one link, that group and others may not write, in a
// folder that passes checkPrivateFolder. The digest covers exactly the bytes read; with
// `copyTo` those bytes are also written to that new file (mode 0600, never an existing file), so
// a caller can go on with a copy nobody else can change. `keepContentUpTo` > 0 keeps the bytes
// in `content` and fails files larger than that.
PrivateFile readPrivateFile(const QString& path, uint owner, const QString& copyTo = {},
                            qint64 keepContentUpTo = 0);

// Makes the folder `path` with mode 0700 when it is missing (its parents as the system makes
// them); an existing folder is left as it is. False when it cannot be made.
bool makePrivateFolderIfMissing(const QString& path);

// Narrows the mode of this user's file `path` to 0600 when group or others may read or write it.
// Empty when the file is missing or is (now) private; otherwise why it was left as it is (it
// belongs to another user, it is not a regular file).
QString repairPrivateFile(const QString& path);

// Appends `data` to the file `path`, created with mode 0600 when missing. A link, or a file that
// is not this user's, is not written. False when nothing was written.
bool appendToPrivateFile(const QString& path, const QByteArray& data);

// Removes a folder and everything below it without following links; true when it is gone.
bool removeFolderTree(const QString& path);

} // namespace quorvane
