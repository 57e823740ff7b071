#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

struct _XDisplay;

// A private X server (Xvfb on a free display) with a tray host, as a person's desktop would
// have. While it runs, DISPLAY of this process names it, so xdotool and the client use it.
// Screens are read straight from the server, so a failure can leave a screenshot behind.
class TXServer final
{
    Q_DISABLE_COPY_MOVE(TXServer)

public:
    TXServer() = default;
    ~TXServer();

    // Starts Xvfb with one screen of `size`; false (see Error) when it does not come up.
    bool Start(QSize size);
    // Starts the tray host (trayer, at the top right) and waits until it owns the tray.
    bool StartTrayHost();
    void Stop();

    QString Display() const { return display_; }
    QSize ScreenSize() const { return size_; }
    QString Error() const { return error_; }

    // The pixels of an area of the screen as shown; a null image when they cannot be read.
    QImage Grab(const QRect& area) const;
    QImage GrabScreen() const { return Grab(QRect(QPoint(0, 0), size_)); }
    // A window at `geometry` as shown, transparent outside its shape (rounded corners).
    QImage GrabWindow(qint64 id, const QRect& geometry) const;

private:
    bool TrayOwned() const;

    QProcess xvfb_;
    QProcess trayHost_;
    QString display_;
    QSize size_;
    QString error_;
    _XDisplay* connection_ = nullptr;
    QByteArray previousDisplay_;
};
