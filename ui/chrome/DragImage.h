#pragma once

#include "ui/chrome/Image.h"

// A background picture by which its window is dragged: a left press on it moves the window
// until the button is released.
class TDragImage final : public TImage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDragImage)

public:
    explicit TDragImage(QWidget* parent = nullptr);
    ~TDragImage() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
