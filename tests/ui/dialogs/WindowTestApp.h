#pragma once

#include "tests/support/TestApplication.h"

#include <QString>
#include <QVariant>

class QWebEnginePage;
class QWidget;

namespace quorvane {

// Helpers of the window tests; the application object is the one of quorvane_test_app.

// Shows a top-level window and waits until it is exposed and active.
bool showAndActivate(QWidget& window);
// Lets deferred deletions and queued calls happen.
void processEvents();

// Runs a script in the page and waits for its result.
QVariant runScript(QWebEnginePage* page, const QString& script);

// When QUORVANE_SCREENSHOT_DIR is set, saves what the screen shows of the window there as
// NAME.png, for a person to look at. Does nothing otherwise.
void saveScreenshot(QWidget& window, const QString& name);

} // namespace quorvane
