#pragma once

#include <QLabel>
#include <QPointer>

namespace quorvane {

class ImageButton;

// The text of an image button, laid over its image: entering the label loads the image's
// hover picture and clicking the label performs the image's click. Moving on from the label
// onto its image keeps the hover picture, and leaving the image restores the normal one; a
// label left straight for a place outside its image restores the normal picture too, so the
// image never stays lit with the cursor elsewhere.
class CaptionLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaptionLabel)

public:
    CaptionLabel(const QString& text, ImageButton* image, QWidget* parent = nullptr);
    ~CaptionLabel() override;

    ImageButton* image() const { return m_image; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointer<ImageButton> m_image;
    bool m_leftPressed = false;
};

} // namespace quorvane
