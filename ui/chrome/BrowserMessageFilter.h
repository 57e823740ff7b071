#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QEvent;

namespace quorvane {

// True when the event must be dropped so that the browser's right-click menu never opens: a
// right-button press, release or double click, or a context-menu request, aimed at a widget
// inside the browser view (the view itself does not count).
bool filterBrowserMessage(const QWidget* view, const QObject* target, const QEvent* event);

// A window's filter of every event the application delivers, installed on the application for
// as long as the window lives. Events it does not drop go to the window's extra step, if it
// has one, before they are delivered; the extra step sees every event, so it must be quick.
class BrowserMessageFilter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserMessageFilter)

public:
    using ExtraStep = std::function<void(QObject* target, QEvent* event)>;

    BrowserMessageFilter(QWidget* window, QWidget* view, ExtraStep extraStep = {});
    ~BrowserMessageFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_view;
    ExtraStep m_extraStep;
};

} // namespace quorvane
