#include "tests/e2e/XServer.h"

#include "tests/e2e/ClientProgram.h"
#include "tests/e2e/Wait.h"

#include <QRegion>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#ifdef QUORVANE_E2E_HAVE_XSHAPE
#include <X11/extensions/shape.h>
#endif

namespace quorvane {

namespace {

} // namespace

XServer::~XServer()
{
    stop();
}

QString startDisplayServer(QProcess& server, const QString& program, const QStringList& arguments,
                           QString& error)
{
    // -displayfd picks a display nobody uses and prints its number; -noreset keeps the server
    // when its last client goes (between two starts of the client).
    server.setProgram(program);
    server.setArguments(arguments + QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                QStringLiteral("-noreset")});
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start();
    if (!server.waitForStarted(10000)) {
        error = program + QStringLiteral(" did not start: ") + server.errorString();
        return {};
    }
    QByteArray number;
    waitFor(
        [&] {
            server.waitForReadyRead(100);
            number += server.readAllStandardOutput();
            return number.contains('\n') || server.state() == QProcess::NotRunning;
        },
        20000, 0);
    if (!number.contains('\n')) {
        error = program + QStringLiteral(" named no display: ") +
                QString::fromLocal8Bit(server.readAllStandardError());
        return {};
    }
    return QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

bool XServer::start(QSize size)
{
    m_size = size;
    m_display = startDisplayServer(m_xvfb, QStringLiteral("Xvfb"),
                                   {QStringLiteral("-screen"), QStringLiteral("0"),
                                    QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height())},
                                   m_error);
    if (m_display.isEmpty())
        return false;
    m_previousDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", m_display.toLatin1());
    m_connection = XOpenDisplay(m_display.toLatin1().constData());
    if (!m_connection) {
        m_error = QStringLiteral("cannot open display ") + m_display;
        return false;
    }
    return true;
}

bool XServer::startTrayHost()
{
    // Above the pop-up's corner, reserving no room, so that windows keep their places.
    if (m_trayHost.start({QStringLiteral("--expand"), QStringLiteral("false"),
                          QStringLiteral("--SetDockType"), QStringLiteral("false"),
                          QStringLiteral("--SetPartialStrut"), QStringLiteral("false")}))
        return true;
    m_error = m_trayHost.error();
    return false;
}

void XServer::stop()
{
    m_trayHost.stop();
    if (m_connection) {
        XCloseDisplay(m_connection);
        m_connection = nullptr;
    }
    endProcess(m_xvfb, 5000);
    if (!m_display.isEmpty()) {
        if (m_previousDisplay.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", m_previousDisplay);
        m_display.clear();
    }
}

QImage XServer::grab(const QRect& area) const
{
    const QRect visible = area.intersected(QRect(QPoint(0, 0), m_size));
    if (!m_connection || visible.isEmpty())
        return {};
    XImage* pixels = XGetImage(m_connection, DefaultRootWindow(m_connection), visible.x(), visible.y(),
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

QImage XServer::grabWindow(qint64 id, const QRect& geometry) const
{
    QImage image = grab(geometry).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
#ifdef QUORVANE_E2E_HAVE_XSHAPE
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles = XShapeGetRectangles(m_connection, Window(id), ShapeBounding, &count, &ordering);
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

} // namespace quorvane
