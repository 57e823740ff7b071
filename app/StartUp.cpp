#include "app/StartUp.h"

#include "app/Application.h"
#include "app/StartReport.h"
#include "notify/NotificationPopup.h"
#include "platform/InstanceLock.h"
#include "server/Session.h"
#include "ui/main/MainWindow.h"
#include "ui/main/WindowMessages.h"
#include "ui/share/ShareWindow.h"

#include <memory>

namespace {

// Keeps a global instance pointer set while its object lives.
template <typename T> class GlobalInstance final
{
public:
    GlobalInstance(T*& global, std::unique_ptr<T> object) : m_global(global), m_object(std::move(object))
    {
        m_global = m_object.get();
    }
    ~GlobalInstance()
    {
        m_global = nullptr;
        m_object.reset();
    }
    GlobalInstance(const GlobalInstance&) = delete;
    GlobalInstance& operator=(const GlobalInstance&) = delete;

private:
    T*& m_global;
    std::unique_ptr<T> m_object;
};

} // namespace

void runClient(Application& app, InstanceLock& lock)
{
    // Created in this order and destroyed in reverse. The data module comes first: every
    // window reaches the session through it. No server traffic happens yet.
    // Watches for the first window, which an updater that just installed this program waits for.
    StartReport startReport;
    GlobalInstance<Session> dataModule(DMod, std::make_unique<Session>());
    auto mainForm = std::make_unique<MainWindow>();
    // The share window closes itself and may be made anew while the client runs, so it is held
    // only through its global reference.
    frmBrowser = new ShareWindow(mainForm.get());
    auto messageForm = std::make_unique<NotificationPopup>();

    lock.listen([](qint64 windowId) {
        // An id that names no window of this run (stale, or -1) has no effect.
        if (frmMain && static_cast<qint64>(frmMain->winId()) == windowId) {
            QEvent request(WM_SHOWMAINFORM);
            QCoreApplication::sendEvent(frmMain, &request);
        }
    });

    app.exec();

    // A request still running on another thread fails at once instead of holding up the exit.
    DMod->abortRequests();
    messageForm.reset();
    delete frmBrowser;
}
