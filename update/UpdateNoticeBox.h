#pragma once

#include "update/SelfUpdate.h"

class QObject;

// The box that tells the user a downloaded package could not be unpacked. SelfUpdate runs on the
// polling thread, which must not touch windows, so it only calls the report it was given; the
// report built here hands the box over to the user-interface thread.

// Shows `message` in a stand-alone box titled "Quorvane" with one OK button, owned by no window.
// Call it on the user-interface thread only.
void showUnpackFailureBox(const QString& message);

// A report for SelfUpdate::SetUnpackFailureReport: runs ShowUnpackFailureBox on the thread of
// `uiContext` (an object living on the user-interface thread, such as the main window) and waits
// until the user has closed the box, so that the update prompt comes after it. On that thread
// itself it shows the box directly; once `uiContext` is gone it shows nothing.
UpdateNoticeReport unpackFailureBoxOn(QObject* uiContext);
