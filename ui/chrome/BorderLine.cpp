#include "ui/chrome/BorderLine.h"

#include <QChildEvent>
#include <QEvent>
#include <QPainter>
#include <QTimer>

namespace quorvane {

void drawBorderLine(QPainter& painter, const QSize& size)
{
    if (size.width() < 4 || size.height() < 4)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kBorderLineColor, 1));
    painter.setBrush(Qt::NoBrush);
    // An outline from (1, 1) to (width - 1, height - 1), right and bottom excluded, covers the
    // pixels 1 .. width - 2; an aliased outline of a rectangle w wide covers w + 1 pixels.
    painter.drawRoundedRect(QRectF(1, 1, size.width() - 3, size.height() - 3), 7.5, 7.5);
    painter.restore();
}

void paintBorderLine(QWidget* window)
{
    QPainter painter(window);
    drawBorderLine(painter, window->size());
}

BorderLine::BorderLine(QWidget* window) : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    window->installEventFilter(this);
    raise();
}

BorderLine::~BorderLine() = default;

bool BorderLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        } else if ((event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished) &&
                   static_cast<QChildEvent*>(event)->child() != this) {
            // A child added later would lie above the line; it is complete only once the
            // event loop runs again.
            QTimer::singleShot(0, this, [this] { raise(); });
        }
    }
    return false;
}

void BorderLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawBorderLine(painter, size());
}

} // namespace quorvane
