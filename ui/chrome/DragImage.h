#pragma once

#include "ui/chrome/Image.h"

namespace quorvane {

// A background picture by which its window is dragged: a left press on it moves the window
// until the button is released.
class DragImage final : public Image
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DragImage)

public:
    explicit DragImage(QWidget* parent = nullptr);
    ~DragImage() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace quorvane
