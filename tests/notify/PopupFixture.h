#pragma once

#include "notify/MessageForm.h"
#include "notify/TimerThread.h"
#include "server/APIResponse.h"
#include "tests/notify/PollingRig.h"
#include "tests/support/TestApplication.h"

#include <QPoint>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

// The notification window (frmMessage) against a loopback application server that serves the
// notification pages below "/quorvane2/notice/", with fades that take no time. The polling
// thread is a real one that is never started: the window only pauses and resumes it.
class PopupFixture : public ::testing::Test
{
protected:
    explicit PopupFixture(const TMessageTimings& timings = QuickFades());
    ~PopupFixture() override;

    // Fades without pauses; the two minutes stay.
    static TMessageTimings QuickFades();

    // The record of a notification page of that size below "/quorvane2/notice/".
    APIResponse Notice(const QString& page, int width = 300, int height = 200) const;
    // Hands the record to the window and waits until it has faded in completely.
    bool ShowAndFadeIn(const APIResponse& information);
    bool FadedIn() const;

    // Lets Timer1 fire now, as it does two minutes after it was turned on, and waits until it has.
    void TwoMinutesPass();

    // Runs a script in the notification page and gives its result.
    QVariant Js(const QString& script);
    // The centre of an element of the page, in global coordinates.
    QPoint GlobalCentreOf(const QString& id);
    // Left clicks into the page until the page has seen one, so that the renderer takes input.
    void WaitForInput();
    int Count(const char* what);

    // Moves the real pointer (an X server pointer warp) and lets the window system report it.
    static void MovePointer(const QPoint& global);

    PollingRig rig;
    TTimerThread pollingThread{TTimerThreadOwner{}};
    std::unique_ptr<TfrmMessage> form;
    QStringList completions;
    int fadeIns = 0;
    int closes = 0;
    QList<int> opacities;
};
