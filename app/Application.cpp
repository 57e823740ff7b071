#include "app/Application.h"

#include "app/ErrorDisplay.h"
#include "app/QtTranslation.h"

namespace quorvane {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quorvane"));
    installQtTranslation(*this);
    // The main window, not the last window closed, decides when the client ends.
    setQuitOnLastWindowClosed(false);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return true;
    }
}

} // namespace quorvane
