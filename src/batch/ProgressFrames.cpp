// Drawing the progress bar of a run no more often than a screen can show it.
#include "ProgressFrames.h"

static constexpr ULONGLONG kFrameMs = 15;

ProgressFrames::ProgressFrames(HWND bar)
{
    // Turning drawing back on would show a hidden bar.
    if (!bar || !IsWindowVisible(bar))
        return;
    bar_ = bar;
    SendMessageW(bar_, WM_SETREDRAW, FALSE, 0);
}

ProgressFrames::~ProgressFrames()
{
    if (bar_)
        Draw();
}

void ProgressFrames::Moved()
{
    if (!bar_ || GetTickCount64() - lastDrawn_ < kFrameMs)
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
