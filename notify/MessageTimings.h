#pragma once

namespace quorvane {

// The times of the notification pop-up, in milliseconds. The client keeps the defaults; tests
// shorten them so that no test waits two minutes for a fade-out.
struct MessageTimings
{
    // How long a notification stays before it fades out (the pop-up's close timer).
    int showMs = 120000;
    // The pause after each opacity step of the fade-in: short up to `fadeInSlowAbove`, then longer,
    // so that the window appears quickly and settles gently.
    int fadeInFastMs = 5;
    int fadeInSlowMs = 10;
    int fadeInSlowAbove = 100;
    // The pause after each opacity step of the fade-out.
    int fadeOutMs = 8;

    // The pause that follows setting `opacity` during the fade-in.
    int fadeInPause(int opacity) const { return opacity <= fadeInSlowAbove ? fadeInFastMs : fadeInSlowMs; }
};

} // namespace quorvane
