#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvane {

// A top-level window as the X server shows it.
struct DesktopWindow
{
    qint64 id = 0;
    QRect geometry; // on the screen
    bool viewable = false;
    // Menus and other pop-ups bypass the window manager.
    bool overrideRedirect = false;

    QPoint at(int x, int y) const { return geometry.topLeft() + QPoint(x, y); }
};

// What a person does and sees on the desktop, through xdotool and xwininfo: windows are found by
// the process that made them and their name, and driven with the mouse and the keyboard.
namespace Desktop {

// The windows (shown or not) of process `pid` whose name matches `namePattern`.
QList<qint64> searchWindows(qint64 pid, const QString& namePattern = QStringLiteral(".*"));
// Where a window is and whether it is shown; nothing when it is gone.
std::optional<DesktopWindow> inspect(qint64 id);
// The shown windows of `pid` whose name matches.
QList<DesktopWindow> shownWindows(qint64 pid, const QString& namePattern = QStringLiteral(".*"));
// The shown window of `pid` with exactly that size.
std::optional<DesktopWindow> shownWindowOfSize(qint64 pid, int width, int height);
// The name of a window.
QString windowName(qint64 id);
// The window types the client declared (_NET_WM_WINDOW_TYPE), such as "_NET_WM_WINDOW_TYPE_DIALOG".
QString windowTypes(qint64 id);

// Moves the pointer there.
void moveMouse(QPoint point);
// Moves the pointer there and clicks (1 left, 3 right).
void click(QPoint point, int button = 1);
// Presses keys as xdotool names them ("Return", "ctrl+a", "Tab").
void key(const QStringList& keys);
// Types text into the focused control.
void type(const QString& text);
// Gives a window the keyboard focus, as a window manager does when it is clicked.
void focus(qint64 id);

// Runs a tool and gives its standard output; empty when it fails.
QString run(const QString& program, const QStringList& arguments, int timeoutMs = 20000);

} // namespace Desktop

} // namespace quorvane
