// Hyperlink labels made by subclassing a static control and its parent; all
// bookkeeping lives in window properties, so any static in any window can be a link.
#include "StaticLink.h"

#include "UniqueHandle.h"

namespace {
WNDPROC EarlierProcedure(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetPropW(window, kOriginalProcedureProperty));
}

LRESULT CallEarlier(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC earlier = EarlierProcedure(window);
    return earlier ? CallWindowProcW(earlier, window, message, wParam, lParam)
                   : DefWindowProcW(window, message, wParam, lParam);
}

void Subclass(HWND window, WNDPROC procedure)
{
    SetPropW(window, kOriginalProcedureProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// Puts the earlier procedure back and forgets it; returns it for the final call.
WNDPROC Unsubclass(HWND window)
{
    auto earlier = reinterpret_cast<WNDPROC>(RemovePropW(window, kOriginalProcedureProperty));
    if (earlier)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(earlier));
    return earlier;
}

LRESULT PassDestroy(HWND window, WNDPROC earlier, WPARAM wParam, LPARAM lParam)
{
    return earlier ? CallWindowProcW(earlier, window, WM_DESTROY, wParam, lParam)
                   : DefWindowProcW(window, WM_DESTROY, wParam, lParam);
}

HFONT CreateUnderlinedCopy(HFONT font)
{
    // A control without a font of its own draws with the system font.
    LOGFONTW description{};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT), sizeof(description), &description);
    description.lfUnderline = TRUE;
    return CreateFontIndirectW(&description);
}

void ShowFont(HWND link, const wchar_t* property)
{
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropW(link, property)), FALSE);
    InvalidateRect(link, nullptr, FALSE);
}

LRESULT OnParentDestroy(HWND parent, WPARAM wParam, LPARAM lParam)
{
    WNDPROC earlier = Unsubclass(parent);
    return PassDestroy(parent, earlier, wParam, lParam);
}

// The parent's own handling picks the background; only the text turns blue.
LRESULT OnParentColourStatic(HWND parent, HDC dc, HWND control)
{
    LRESULT brush = CallEarlier(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    if (GetPropW(control, kStaticLinkProperty))
        SetTextColor(dc, kLinkColour);
    return brush;
}

LRESULT OnLinkDestroy(HWND link, WPARAM wParam, LPARAM lParam)
{
    WNDPROC earlier = Unsubclass(link);
    // The original font belongs to whoever set it; only the underlined copy is ours.
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(RemovePropW(link, kOriginalFontProperty)), FALSE);
    UniqueFont underline(static_cast<HFONT>(RemovePropW(link, kUnderlineFontProperty)));
    underline.reset();
    RemovePropW(link, kStaticLinkProperty);
    return PassDestroy(link, earlier, wParam, lParam);
}

void OnLinkSetCursor()
{
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(hand ? hand : LoadCursorW(nullptr, IDC_ARROW));
}

// Holding the capture is what lets the link see the pointer leave it.
void OnLinkMouseMove(HWND link, LPARAM lParam)
{
    if (GetCapture() != link) {
        ShowFont(link, kUnderlineFontProperty);
        SetCapture(link);
        return;
    }
    RECT bounds{};
    GetWindowRect(link, &bounds);
    // Unsigned on purpose: a pointer left of or above the link reads as a huge coordinate.
    POINT point{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    ClientToScreen(link, &point);
    if (!PtInRect(&bounds, point)) {
        ShowFont(link, kOriginalFontProperty);
        ReleaseCapture();
    }
}
} // namespace

BOOL MakeStaticLink(HWND control)
{
    HWND parent = GetParent(control);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC)) != LinkParentProc)
        Subclass(parent, LinkParentProc);
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
    Subclass(control, StaticLinkProc);
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    SetPropW(control, kOriginalFontProperty, font);
    SetPropW(control, kUnderlineFontProperty, CreateUnderlinedCopy(font));
    SetPropW(control, kStaticLinkProperty, reinterpret_cast<HANDLE>(1));
    return TRUE;
}

LRESULT CALLBACK LinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_DESTROY:
        return OnParentDestroy(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        return OnParentColourStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return CallEarlier(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK StaticLinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_DESTROY:
        return OnLinkDestroy(window, wParam, lParam);
    case WM_SETCURSOR:
        OnLinkSetCursor();
        return TRUE;
    case WM_MOUSEMOVE:
        OnLinkMouseMove(window, lParam);
        return CallEarlier(window, message, wParam, lParam);
    default:
        return CallEarlier(window, message, wParam, lParam);
    }
}
