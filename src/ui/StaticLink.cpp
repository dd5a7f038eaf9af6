// Hyperlink labels made by subclassing a static control and its parent; all
// bookkeeping lives in window properties, so any static in any window can be a link.
#include "StaticLink.h"

#include "HighContrast.h"
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
        SetTextColor(dc, LinkTextColour());
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
// A font given from outside (the parent's, for a new DPI) is the link's plain font from now on,
// with a new underlined copy; the two the link shows itself pass through.
void OnLinkSetFont(HWND link, HFONT font)
{
    if (font == GetPropW(link, kOriginalFontProperty) || font == GetPropW(link, kUnderlineFontProperty))
        return;
    SetPropW(link, kOriginalFontProperty, font);
    UniqueFont earlier(static_cast<HFONT>(GetPropW(link, kUnderlineFontProperty)));
    SetPropW(link, kUnderlineFontProperty, CreateUnderlinedCopy(font));
}

// A link with the keyboard focus shows it round its text, as a button does.
void DrawLinkFocus(HWND link)
{
    if (GetFocus() != link || (SendMessageW(link, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        return;
    HDC dc = GetDC(link);
    if (!dc)
        return;
    RECT text{};
    GetClientRect(link, &text);
    RECT client = text;
    wchar_t label[256] = L"";
    GetWindowTextW(link, label, 256);
    {
        SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
        DrawTextW(dc, label, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    IntersectRect(&text, &text, &client);
    DrawFocusRect(dc, &text);
    ReleaseDC(link, dc);
}

// Enter and the space bar follow a link as a click does.
void OnLinkKey(HWND link, WPARAM key)
{
    if (key != VK_RETURN && key != VK_SPACE)
        return;
    int id = GetDlgCtrlID(link);
    SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(link));
}

LRESULT OnLinkGetDlgCode(HWND link, WPARAM wParam, LPARAM lParam)
{
    LRESULT code = CallEarlier(link, WM_GETDLGCODE, wParam, lParam);
    // Enter goes to the link, not to the dialog's default button.
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (message && message->message == WM_KEYDOWN && wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}
} // namespace

BOOL MakeStaticLink(HWND control)
{
    HWND parent = GetParent(control);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC)) != LinkParentProc)
        Subclass(parent, LinkParentProc);
    // A tab stop too, so that the keyboard reaches what the mouse does.
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
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
    case WM_SETFONT:
        OnLinkSetFont(window, reinterpret_cast<HFONT>(wParam));
        return CallEarlier(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return OnLinkGetDlgCode(window, wParam, lParam);
    case WM_KEYDOWN:
        OnLinkKey(window, wParam);
        return CallEarlier(window, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return CallEarlier(window, message, wParam, lParam);
    case WM_PAINT: {
        LRESULT result = CallEarlier(window, message, wParam, lParam);
        DrawLinkFocus(window);
        return result;
    }
    default:
        return CallEarlier(window, message, wParam, lParam);
    }
}
