// Drawing the progress bar of a run no more often than the eye follows it.
#include "ProgressFrames.h"

// Five drawings a second keep the bar moving to the eye. Each costs Wine two to three
// milliseconds: at ten a second, that was a fortieth of a long run.
static constexpr ULONGLONG kDrawIntervalMs = 200;

ProgressFrames::ProgressFrames(HWND bar)
{
    // Turning drawing back on would show a hidden bar.
    if (!bar || !IsWindowVisible(bar))
        return;
    bar_ = bar;
    SendMessageW(bar_, WM_SETREDRAW, FALSE, 0);
    // The first new position waits its turn like the others: a run shorter than that is drawn
    // once, at its end.
    lastDrawn_ = GetTickCount64();
}

ProgressFrames::~ProgressFrames()
{
    if (bar_)
        Draw();
}

void ProgressFrames::Moved()
{
    if (!bar_ || GetTickCount64() - lastDrawn_ < kDrawIntervalMs)
        return;
    Draw();
    SendMessageW(bar_, WM_SETREDRAW, FALSE, 0);
}

void ProgressFrames::Draw()
{
    SendMessageW(bar_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(bar_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    lastDrawn_ = GetTickCount64();
}
