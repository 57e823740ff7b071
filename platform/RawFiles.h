#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Plain files by descriptor, for a reader that brings its own buffering (the cabinet reader), and
// the file-system steps of putting unpacked files in place. Each call goes on when a signal
// interrupts it; a failure leaves its cause for lastSystemError().

enum class RawOpen
{
    Read,
    Write // created, or emptied when it exists
};

enum class RawSeek
{
    Set,
    Current,
    End
};

// Opens a regular file without following a link and without waiting on a FIFO; -1 for anything
// else or on failure.
int openRegularFile(const char* path, RawOpen mode);
void closeRawFile(int fd);
// Starts writing what was written to the file out to the disk, without waiting for it: a later
// flush of the file system then finds most of it done.
void startWriteBack(int fd);
// Up to `bytes`: the count read, 0 at the end, -1 on failure.
qint64 readRawFile(int fd, void* buffer, qint64 bytes);
// All of `bytes`, or false.
bool writeRawFile(int fd, const void* buffer, qint64 bytes);
// The new position, or -1.
qint64 seekRawFile(int fd, qint64 offset, RawSeek from);

// A new empty file in `folder` whose name starts with `prefix` and goes on at random, created
// exclusively (never an existing file or link) and left open for writing; the caller closes it.
// With `executable` it may be run.
struct UniqueFile
{
    QString path; // empty when no file could be made
    int fd = -1;  // open for writing
};
UniqueFile createUniqueFile(const QString& folder, const QString& prefix, bool executable);
// Gives `to` the permissions of `from` when that is a regular file; true when there is none.
bool copyPermissions(const QString& from, const QString& to);
// Flushes the file system of each folder to the disk, each file system once.
bool syncFileSystems(const QStringList& folders);
// Renames in one step, replacing what `to` names.
bool renameFile(const QString& from, const QString& to);
// The cause of the last failure, in the system's words.
QString lastSystemError();

} // namespace quorvane
