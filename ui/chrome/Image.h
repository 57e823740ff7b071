#pragma once

#include <QPixmap>
#include <QWidget>

namespace quorvane {

// A picture component that takes the size of the picture it shows. It reports the mouse
// over it and keeps every press for itself, so a press on an image never reaches the
// picture behind it. The second press of a double click is reported as a press too.
class Image : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Image)

public:
    explicit Image(QWidget* parent = nullptr);
    ~Image() override;

    const QPixmap& picture() const { return m_picture; }
    // Replaces the picture whole and resizes the image to it.
    void setPicture(const QPixmap& picture);

    QSize sizeHint() const override;

signals:
    void mouseEnter();
    void mouseLeave();
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace quorvane
