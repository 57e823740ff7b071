#pragma once

#include "update/SelfUpdate.h"

class QObject;

namespace quorvane {

// The boxes that tell the user about an update: a downloaded package that could not be unpacked,
// or a notice of SelfUpdate's own. SelfUpdate runs on the polling thread, which must not touch
// windows, so it only calls the report it was given; the report built here hands the box over to
// the user-interface thread.

// Shows `message` in a stand-alone box titled "Quorvane" with one OK button, owned by no window.
// Call it on the user-interface thread only.
void showUpdateNotice(const QString& message);

// A report for SelfUpdate's setUnpackFailureReport and setNoticeReport: runs showUpdateNotice on
// the thread of `uiContext` (an object living on the user-interface thread, such as the main
// window) and waits until the user has closed the box, so that the update prompt comes after it. On that
// thread itself it shows the box directly; once `uiContext` is gone it shows nothing.
UpdateNoticeReport updateNoticesOn(QObject* uiContext);

} // namespace quorvane
