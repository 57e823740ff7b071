#pragma once

#include <QColor>
#include <QWidget>

namespace quorvane {

// Paints the widget's background in a plain colour.
void fillBackground(QWidget* widget, const QColor& color);

// The skinned title bar of the borderless windows (login, main window, pop-up): a strip of the
// service's blue across the top that carries the title picture and the window's buttons. The
// window places it; its height is kHeight.
class TitleBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TitleBar)

public:
    static constexpr int kHeight = 51;
    static QColor colour() { return {22, 80, 153}; }

    explicit TitleBar(QWidget* window);
    ~TitleBar() override;
};

} // namespace quorvane
