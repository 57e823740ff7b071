#include "ui/chrome/DragImage.h"

#include "ui/chrome/DragWindow.h"

#include <QMouseEvent>

TDragImage::TDragImage(QWidget* parent) : TImage(parent) {}

TDragImage::~TDragImage() = default;

void TDragImage::mousePressEvent(QMouseEvent* event)
{
    TImage::mousePressEvent(event);
    dragWindow(window(), *event);
}

void TDragImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click drags like the first.
    TImage::mouseDoubleClickEvent(event);
    dragWindow(window(), *event);
}
