#pragma once

#include <QColor>
#include <QSize>
#include <QWidget>

class QPainter;

namespace quorvane {

// The colour of the thin border line of the rounded windows.
inline const QColor kBorderLineColor{35, 83, 141};

// Draws the border line: the outline of the rounded rectangle from (1, 1) to
// (width - 1, height - 1) with a 15 x 15 corner ellipse, one pixel wide, nothing filled.
void drawBorderLine(QPainter& painter, const QSize& size);

// Draws the border line on the window itself; call it at the end of the window's paintEvent.
// Child widgets (pictures, panels) cover it where they lie over it.
void paintBorderLine(QWidget* window);

// The border line drawn over everything the window shows: a child that covers the window,
// follows its size, stays above the other children and lets every mouse event through.
class BorderLine final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BorderLine)

public:
    explicit BorderLine(QWidget* window);
    ~BorderLine() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quorvane
