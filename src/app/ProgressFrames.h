// Drawing the progress bar of a run no more often than the eye follows it.
#pragma once

#include <windows.h>

// While it lives, the bar takes every position it is sent but is drawn at most five times a second,
// and once more at the end: Wine draws the bar and puts it on the screen at each new position,
// two to three milliseconds each, which is a fifth of a second in every run however small. A bar
// that is not shown is left alone.
class ProgressFrames {
public:
    explicit ProgressFrames(HWND bar);
    ~ProgressFrames();
    ProgressFrames(const ProgressFrames&) = delete;
    ProgressFrames& operator=(const ProgressFrames&) = delete;

    // The bar was sent a new position.
    void Moved();

private:
    void Draw();

    HWND bar_ = nullptr;
    ULONGLONG lastDrawn_ = 0;
};
