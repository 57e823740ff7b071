#pragma once

#include <QString>
#include <functional>

// Unpacks a Microsoft cabinet file, file by file in archive order, each file to the path a
// callback chooses. Success is all or nothing as far as the archive's content goes: every name
// and target is checked and every file is unpacked beside its target before the first target
// is replaced, so a hostile name, a truncated archive or a file that cannot be written leaves
// every target as it was.
class TCabinetReader final
{
    Q_DISABLE_COPY_MOVE(TCabinetReader)

public:
    // A target path longer than this (in ANSI bytes) does not fit the target buffer of the
    // extraction service the package format was made for; such a file fails the extraction.
    static constexpr int kMaxTargetPathBytes = 259;

    // Gets a file's name in the archive, with "/" between folder parts, and answers the full
    // path the file is to be written to. An empty answer refuses the file and fails the whole
    // extraction.
    using TargetChooser = std::function<QString(const QString& name)>;

    TCabinetReader() = default;

    // True when every file of the archive was written to its target.
    bool Extract(const QString& cabinetPath, const TargetChooser& chooseTarget);

    // Why the last extraction failed; empty after a success.
    const QString& ErrorString() const { return error_; }

    // The archive name as a relative path with "/" separators, or empty when the name is
    // absolute, has a drive letter, an empty, "." or ".." part, or a control character.
    static QString SafeRelativeName(const QString& archiveName);

private:
    bool Fail(const QString& message);

    QString error_;
};
