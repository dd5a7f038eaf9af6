// A resizable dialog's controls placed from its template, and its size in dialog units.
#include "AnchoredLayout.h"

#include "DialogDpi.h"
#include "DpiScale.h"

#include <algorithm>

// Dialog units of the probe that converts sizes: enough to keep them exact through the rounding.
static constexpr LONG kSizeProbeUnits = 1000;

static RECT PlacedRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void AnchoredLayout::Record(HWND dialog, const ControlAnchor* anchors, size_t count, SIZE minimumUnits)
{
    placed_.clear();
    for (size_t i = 0; i < count; ++i)
        placed_.push_back(Placed{anchors[i], PlacedRect(dialog, anchors[i].id)});
    RECT client{};
    GetClientRect(dialog, &client);
    templateClient_ = SIZE{client.right, client.bottom};
    minimumClient_ = templateClient_;
    if (minimumUnits.cx > 0 && minimumUnits.cy > 0) {
        RECT minimum{0, 0, minimumUnits.cx, minimumUnits.cy};
        MapDialogRect(dialog, &minimum);
        minimumClient_ = SIZE{std::min(minimum.right, client.right), std::min(minimum.bottom, client.bottom)};
    }
}

POINT AnchoredLayout::MinimumTrackSize(HWND dialog) const
{
    SIZE client{ScaleForDialog(dialog, minimumClient_.cx), ScaleForDialog(dialog, minimumClient_.cy)};
    SIZE outer = OuterSizeForClient(client, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)),
                                    static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), false, DialogDpi(dialog));
    return POINT{outer.cx, outer.cy};
}

void AnchoredLayout::Place(HWND dialog, int width, int height) const
{
    auto scaled = [dialog](int length) { return ScaleForDialog(dialog, length); };
    // Never smaller than the smallest the dialog may be made.
    int dx = std::max<int>(width, scaled(minimumClient_.cx)) - scaled(templateClient_.cx);
    int dy = std::max<int>(height, scaled(minimumClient_.cy)) - scaled(templateClient_.cy);
    HDWP positions = BeginDeferWindowPos(static_cast<int>(placed_.size()));
    for (const Placed& control : placed_) {
        if (!positions)
            return;
        RECT at{scaled(control.rect.left), scaled(control.rect.top), scaled(control.rect.right), scaled(control.rect.bottom)};
        unsigned follow = control.anchor.follow;
        int x = at.left + ((follow & MovesRight) ? dx : 0);
        int y = at.top + ((follow & MovesDown) ? dy : 0);
        int w = std::max<int>(at.right - at.left + ((follow & Widens) ? dx : 0), 0);
        int h = std::max<int>(at.bottom - at.top + ((follow & Heightens) ? dy : 0), 0);
        positions = DeferWindowPos(positions, GetDlgItem(dialog, control.anchor.id), nullptr, x, y, w, h,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions)
        EndDeferWindowPos(positions);
}

// The pixels of kSizeProbeUnits dialog units across and down, for the dialog's font.
static SIZE ProbeInPixels(HWND dialog)
{
    RECT probe{0, 0, kSizeProbeUnits, kSizeProbeUnits};
    MapDialogRect(dialog, &probe);
    return SIZE{std::max<LONG>(probe.right, 1), std::max<LONG>(probe.bottom, 1)};
}

SIZE ClientSizeInDialogUnits(HWND dialog)
{
    RECT client{};
    GetClientRect(dialog, &client);
    SIZE probe = ProbeInPixels(dialog);
    return SIZE{MulDiv(client.right, kSizeProbeUnits, probe.cx), MulDiv(client.bottom, kSizeProbeUnits, probe.cy)};
}

void SetClientSizeInDialogUnits(HWND dialog, SIZE units, POINT minimumTrackSize)
{
    if (units.cx <= 0 || units.cy <= 0)
        return;
    SIZE probe = ProbeInPixels(dialog);
    RECT bounds{0, 0, MulDiv(units.cx, probe.cx, kSizeProbeUnits), MulDiv(units.cy, probe.cy, kSizeProbeUnits)};
    AdjustWindowRectEx(&bounds, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    int width = std::max<int>(bounds.right - bounds.left, minimumTrackSize.x);
    int height = std::max<int>(bounds.bottom - bounds.top, minimumTrackSize.y);
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
