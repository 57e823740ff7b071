#pragma once

#include "notify/NotificationPopup.h"
#include "notify/Poller.h"
#include "server/Reply.h"
#include "tests/notify/PollingRig.h"
#include "tests/support/TestApplication.h"

#include <QPoint>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace quorvane {

// The notification window against a loopback application server that serves the
// notification pages below "/quorvane2/notice/", with fades that take no time. The polling
// thread is a real one that is never started: the window only pauses and resumes it.
class PopupFixture : public ::testing::Test
{
protected:
    explicit PopupFixture(const MessageTimings& timings = quickFades());
    ~PopupFixture() override;

    // Fades without pauses; the two minutes stay.
    static MessageTimings quickFades();

    // The record of a notification page of that size below "/quorvane2/notice/".
    Reply notice(const QString& page, int width = 300, int height = 200) const;
    // Hands the record to the window and waits until it has faded in completely.
    bool showAndFadeIn(const Reply& information);
    bool fadedIn() const;

    // Lets the close timer fire now, as it does two minutes after it was turned on, and waits until it has.
    void twoMinutesPass();

    // Runs a script in the notification page and gives its result.
    QVariant js(const QString& script);
    // The centre of an element of the page, in global coordinates.
    QPoint globalCentreOf(const QString& id);
    // Left clicks into the page until the page has seen one, so that the renderer takes input.
    void waitForInput();
    int count(const char* what);

    // Makes `popup` the one under test, counting its fades and closes from now on.
    void watch(NotificationPopup& popup);

    // Moves the real pointer (an X server pointer warp) and lets the window system report it.
    static void movePointer(const QPoint& global);

    PollingRig m_rig;
    Poller m_pollingThread{m_rig.session};
    std::unique_ptr<NotificationPopup> m_ownForm;
    // The pop-up under test: the fixture's own, or the one watch() was given.
    NotificationPopup* m_form = nullptr;
    QStringList m_completions;
    int m_fadeIns = 0;
    int m_closes = 0;
    QList<int> m_opacities;
};

} // namespace quorvane
