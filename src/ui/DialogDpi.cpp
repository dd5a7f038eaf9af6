// Dialogs made from templates, followed to a monitor of another DPI the same way on every Windows.
#include "DialogDpi.h"

#include "DpiScale.h"
#include "UniqueHandle.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace {
struct TrackedControl {
    HWND control;
    RECT start; // in the dialog's client area, at the start DPI
    bool dialogFont;
};

struct DialogDpiState {
    UINT startDpi = kLayoutDpi;
    UINT dpi = kLayoutDpi;
    LOGFONTW startFont{};
    bool hasFont = false;
    UniqueFont font; // the dialog font for dpi, once it differs from the start
    std::vector<TrackedControl> controls;
};

constexpr UINT_PTR kSubclassId = 0x4450; // "DP"
// The state, owned by the subclass, found through this property.
constexpr wchar_t kStateProperty[] = L"Nomaro_DialogDpi";

using SetDialogDpiChangeBehaviorCall = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDisableAll = 1; // DDC_DISABLE_ALL

LRESULT CALLBACK ForgetOnDestroy(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(dialog, ForgetOnDestroy, kSubclassId);
        RemovePropW(dialog, kStateProperty);
        // The controls are gone by now, so the font they used can go too.
        delete reinterpret_cast<DialogDpiState*>(data);
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

DialogDpiState* TrackedState(HWND dialog)
{
    return static_cast<DialogDpiState*>(GetPropW(dialog, kStateProperty));
}

// Windows 10 1703 and later would otherwise scale the dialog themselves and give every control the
// dialog font, over the fonts a dialog gives its own controls; one way everywhere instead.
void TurnOffSystemDialogScaling(HWND dialog)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto turnOff = user32 ? reinterpret_cast<SetDialogDpiChangeBehaviorCall>(
                                reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior")))
                          : nullptr;
    if (turnOff)
        turnOff(dialog, kDisableAll, kDisableAll);
}
} // namespace

void TrackDialogDpi(HWND dialog)
{
    auto state = std::make_unique<DialogDpiState>();
    state->startDpi = state->dpi = WindowDpi(dialog);
    auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    state->hasFont = dialogFont && GetObjectW(dialogFont, sizeof(state->startFont), &state->startFont) != 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        bool hasDialogFont = dialogFont && reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == dialogFont;
        state->controls.push_back(TrackedControl{child, place, hasDialogFont});
    }
    TurnOffSystemDialogScaling(dialog);
    if (TrackedState(dialog) || !SetWindowSubclass(dialog, ForgetOnDestroy, kSubclassId, reinterpret_cast<DWORD_PTR>(state.get())))
        return;
    SetPropW(dialog, kStateProperty, state.release());
}

UINT OnDialogDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    UINT dpi = NewDpiOf(wParam);
    DialogDpiState* state = TrackedState(dialog);
    if (!state) {
        MoveToSuggestedRect(dialog, lParam);
        return dpi;
    }
    state->dpi = dpi;
    // The old font stays alive until every control has the new one.
    UniqueFont earlier(state->font.release());
    HFONT font = nullptr;
    if (state->hasFont) {
        LOGFONTW description = state->startFont;
        description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(dpi), static_cast<int>(state->startDpi));
        state->font.reset(CreateFontIndirectW(&description));
        font = state->font.get();
    }
    HDWP positions = BeginDeferWindowPos(static_cast<int>(state->controls.size()));
    for (const TrackedControl& tracked : state->controls) {
        if (!IsWindow(tracked.control))
            continue;
        if (tracked.dialogFont && font)
            SendMessageW(tracked.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT place = ScaleRectBetween(tracked.start, state->startDpi, dpi);
        if (positions)
            positions = DeferWindowPos(positions, tracked.control, nullptr, place.left, place.top, place.right - place.left,
                                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions)
        EndDeferWindowPos(positions);
    MoveToSuggestedRect(dialog, lParam);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return dpi;
}

UINT DialogDpi(HWND dialog)
{
    DialogDpiState* state = TrackedState(dialog);
    return state ? state->dpi : WindowDpi(dialog);
}

int ScaleForDialog(HWND dialog, int startLength)
{
    DialogDpiState* state = TrackedState(dialog);
    return state ? MulDiv(startLength, static_cast<int>(state->dpi), static_cast<int>(state->startDpi)) : startLength;
}
