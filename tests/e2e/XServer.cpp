#include "tests/e2e/XServer.h"

#include "tests/e2e/Wait.h"

#include <QRegion>
#include <QStandardPaths>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#ifdef QUORVANE_E2E_HAVE_XSHAPE
#include <X11/extensions/shape.h>
#endif

namespace {

void EndProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

TXServer::~TXServer()
{
    Stop();
}

bool TXServer::Start(QSize size)
{
    size_ = size;
    // -displayfd picks a display nobody uses and prints its number; -noreset keeps the server
    // when its last client goes (between two starts of the client).
    xvfb_.setProgram(QStringLiteral("Xvfb"));
    xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
    xvfb_.start();
    if (!xvfb_.waitForStarted(10000)) {
        error_ = QStringLiteral("Xvfb did not start: ") + xvfb_.errorString();
        return false;
    }
    QByteArray number;
    const bool printed = WaitFor(
        [&] {
            xvfb_.waitForReadyRead(100);
            number += xvfb_.readAllStandardOutput();
            return number.contains('\n') || xvfb_.state() == QProcess::NotRunning;
        },
        20000, 0);
    if (!printed || !number.contains('\n')) {
        error_ =
            QStringLiteral("Xvfb named no display: ") + QString::fromLocal8Bit(xvfb_.readAllStandardError());
        return false;
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    previousDisplay_ = qgetenv("DISPLAY");
    qputenv("DISPLAY", display_.toLatin1());
    connection_ = XOpenDisplay(display_.toLatin1().constData());
    if (!connection_) {
        error_ = QStringLiteral("cannot open display ") + display_;
        return false;
    }
    return true;
}

bool TXServer::StartTrayHost()
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty()) {
        error_ = QStringLiteral("no tray host: install the package trayer (tools/install-deps)");
        return false;
    }
    // Top right, so that it never covers a notification at the bottom right.
    trayHost_.setProgram(QStringLiteral("trayer"));
    trayHost_.setArguments({QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                            QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                            QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--expand"),
                            QStringLiteral("false"), QStringLiteral("--SetDockType"), QStringLiteral("false"),
                            QStringLiteral("--SetPartialStrut"), QStringLiteral("false")});
    trayHost_.setProcessChannelMode(QProcess::MergedChannels);
    trayHost_.start();
    if (!trayHost_.waitForStarted(10000) || !WaitFor([this] { return TrayOwned(); }, 20000)) {
        error_ = QStringLiteral("the tray host did not take the tray: ") +
                 QString::fromLocal8Bit(trayHost_.readAll());
        return false;
    }
    return true;
}

bool TXServer::TrayOwned() const
{
    if (!connection_)
        return false;
    const Atom tray = XInternAtom(connection_, "_NET_SYSTEM_TRAY_S0", False);
    return XGetSelectionOwner(connection_, tray) != 0;
}

void TXServer::Stop()
{
    EndProcess(trayHost_);
    if (connection_) {
        XCloseDisplay(connection_);
        connection_ = nullptr;
    }
    EndProcess(xvfb_);
    if (!display_.isEmpty()) {
        if (previousDisplay_.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", previousDisplay_);
        display_.clear();
    }
}

QImage TXServer::Grab(const QRect& area) const
{
    const QRect visible = area.intersected(QRect(QPoint(0, 0), size_));
    if (!connection_ || visible.isEmpty())
        return {};
    XImage* pixels = XGetImage(connection_, DefaultRootWindow(connection_), visible.x(), visible.y(),
                               unsigned(visible.width()), unsigned(visible.height()), AllPlanes, ZPixmap);
    if (!pixels)
        return {};
    QImage image(visible.size(), QImage::Format_RGB32);
    for (int y = 0; y < visible.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < visible.width(); ++x)
            line[x] = QRgb(XGetPixel(pixels, x, y)) | 0xff000000u;
    }
    XDestroyImage(pixels);
    return image;
}

QImage TXServer::GrabWindow(qint64 id, const QRect& geometry) const
{
    QImage image = Grab(geometry).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
#ifdef QUORVANE_E2E_HAVE_XSHAPE
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles = XShapeGetRectangles(connection_, Window(id), ShapeBounding, &count, &ordering);
    if (!rectangles)
        return image;
    QRegion shape;
    for (int i = 0; i < count; ++i)
        shape += QRect(rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height);
    XFree(rectangles);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!shape.contains(QPoint(x, y)))
                line[x] = 0;
        }
    }
#else
    Q_UNUSED(id)
#endif
    return image;
}
