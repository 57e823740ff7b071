#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace quorvane {

// Unpacks a Microsoft cabinet file, file by file in archive order, each file to the path a
// callback chooses. Success is all or nothing as far as the archive's content goes: every name
// and target is checked, and the limits on entries, unpacked size and free space are applied,
// before anything is written, and every file is unpacked beside its target before the first
// target is replaced, so a hostile name, a bomb, a truncated archive or a file that cannot be
// written leaves every target as it was.
class CabinetReader final
{
    Q_DISABLE_COPY_MOVE(CabinetReader)

public:
    // A target path longer than this (in ANSI bytes) does not fit the target buffer of the
    // extraction service the package format was made for; such a file fails the extraction.
    static constexpr int kMaxTargetPathBytes = 259;

    // Gets a file's name in the archive, with "/" between folder parts, and answers the full
    // path the file is to be written to. An empty answer refuses the file and fails the whole
    // extraction.
    using TargetChooser = std::function<QString(const QString& name)>;

    // What a package may hold, checked from the archive's headers before anything is written.
    struct Limits
    {
        int maxEntries = 1000;
        qint64 maxTotalBytes = qint64(256) * 1024 * 1024; // unpacked, all files together
    };

    // Bytes an unprivileged writer may still use on the file system that holds `folder` (the
    // nearest existing folder of a target); nothing when the system cannot tell.
    using FreeSpaceProbe = std::function<std::optional<qint64>(const QString& folder)>;

    CabinetReader() = default;

    void setLimits(const Limits& limits) { m_limits = limits; }
    // Checked between files and between blocks of a file: once set, the extraction stops, fails
    // and takes back what it wrote.
    void setAbortFlag(const std::atomic<bool>* abort) { m_abort = abort; }
    // The system's own (statvfs) unless set; tests give a full disk.
    void setFreeSpaceProbe(FreeSpaceProbe probe) { m_freeSpace = std::move(probe); }
    // Told the bytes unpacked so far after each block written.
    void setProgress(std::function<void(qint64 written)> progress) { m_progress = std::move(progress); }

    // True when every file of the archive was written to its target.
    bool extract(const QString& cabinetPath, const TargetChooser& chooseTarget);

    // Why the last extraction failed; empty after a success.
    const QString& errorString() const { return m_error; }

    // The archive name as a relative path with "/" separators, or empty when the name is
    // absolute, has a drive letter, an empty, "." or ".." part, or a control character.
    static QString safeRelativeName(const QString& archiveName);

private:
    bool fail(const QString& message);
    bool aborted() const { return m_abort && *m_abort; }

    QString m_error;
    Limits m_limits;
    const std::atomic<bool>* m_abort = nullptr;
    FreeSpaceProbe m_freeSpace;
    std::function<void(qint64)> m_progress;
};

} // namespace quorvane
