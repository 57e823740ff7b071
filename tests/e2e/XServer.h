#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

#include "tests/support/TrayHost.h"

struct _XDisplay;

namespace quorvane {

// Starts an X server program (Xvfb, Xwayland) on a display nobody uses, with `arguments` besides
// those that choose the display; gives the display (":N"), or an empty text and `error`.
QString startDisplayServer(QProcess& server, const QString& program, const QStringList& arguments,
                           QString& error);

// A private X server (Xvfb on a free display) with a tray host, as a person's desktop would
// have. While it runs, DISPLAY of this process names it, so xdotool and the client use it.
// Screens are read straight from the server, so a failure can leave a screenshot behind.
class XServer final
{
    Q_DISABLE_COPY_MOVE(XServer)

public:
    XServer() = default;
    ~XServer();

    // Starts Xvfb with one screen of `size`; false (see Error) when it does not come up.
    bool start(QSize size);
    // Starts the tray host (trayer, at the top right) and waits until it owns the tray.
    bool startTrayHost();
    void stop();

    QString display() const { return m_display; }
    QSize screenSize() const { return m_size; }
    QString error() const { return m_error; }

    // The pixels of an area of the screen as shown; a null image when they cannot be read.
    QImage grab(const QRect& area) const;
    QImage grabScreen() const { return grab(QRect(QPoint(0, 0), m_size)); }
    // A window at `geometry` as shown, transparent outside its shape (rounded corners).
    QImage grabWindow(qint64 id, const QRect& geometry) const;

private:
    QProcess m_xvfb;
    TrayHost m_trayHost;
    QString m_display;
    QSize m_size;
    QString m_error;
    _XDisplay* m_connection = nullptr;
    QByteArray m_previousDisplay;
};

} // namespace quorvane
