#include "ui/chrome/DragImage.h"

#include "ui/chrome/DragWindow.h"

#include <QMouseEvent>

namespace quorvane {

DragImage::DragImage(QWidget* parent) : Image(parent) {}

DragImage::~DragImage() = default;

void DragImage::mousePressEvent(QMouseEvent* event)
{
    Image::mousePressEvent(event);
    dragWindow(window(), *event);
}

void DragImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click drags like the first.
    Image::mouseDoubleClickEvent(event);
    dragWindow(window(), *event);
}

} // namespace quorvane
