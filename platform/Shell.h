#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace quorvane {

// Opens a URL in the user's default browser; false when no handler could be started.
bool openInDefaultBrowser(const QString& url);

// How a program started with startProgramAndWaitForReady came along.
enum class ProgramStart
{
    Ready,            // it wrote its "ready" line and runs on
    ElevationRefused, // the administrator prompt was dismissed or refused, or no prompt exists
    Failed,           // it could not be started, or ended before it was ready
    TimedOut,         // no word from it in time
    Cancelled,        // the caller gave up waiting
};

// Starts `program` in a session of its own (elevated through pkexec when asked) with its standard
// output on a pipe, and waits until it writes the line "ready", ends, `timeoutMs` pass, or
// `cancelled` answers true (asked every 100 ms). The program outlives the caller. `exitCode`, when
// given, receives the code of a program that ended.
ProgramStart startProgramAndWaitForReady(const QString& program, const QStringList& arguments, bool elevated,
                                         int timeoutMs, const std::function<bool()>& cancelled = {},
                                         int* exitCode = nullptr);

// The updater that installed this program waits to hear that it came up; called once the first
// window is on screen. Does nothing when no updater started this process.
void reportStartToUpdater();

// The environment variable through which the updater passes the descriptor for that report.
inline constexpr const char* kStartReportVariable = "QUORVANE_START_REPORT_FD";

} // namespace quorvane
