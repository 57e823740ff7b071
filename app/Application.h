#pragma once

#include <QApplication>

namespace quorvane {

// The application object. A failure that escapes an event handler is shown in a message box
// titled "Quorvane" with the failure's text, and the client keeps running.
class Application final : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace quorvane
