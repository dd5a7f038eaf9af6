// Sizes for a window's DPI: a layout made for 96 DPI scaled edge by edge, fonts from their 96-DPI
// heights, and the DPI calls of newer Windows, looked up, with the system DPI where they are missing.
#include "DpiScale.h"

namespace {
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForSystemCall = UINT(WINAPI*)();
using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The program also runs on Windows 7 and 8.1, whose user32 has none of these: looked up, not linked.
template <typename Call>
Call User32Call(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The frame around a client area of nothing: left and top negative, right and bottom positive.
RECT FrameForDpi(DWORD style, DWORD exStyle, bool menu, UINT dpi)
{
    static const auto adjustForDpi = User32Call<AdjustWindowRectExForDpiCall>("AdjustWindowRectExForDpi");
    RECT frame{};
    if (adjustForDpi && adjustForDpi(&frame, style, menu, exStyle, dpi))
        return frame;
    // Without per-monitor DPI every window is at the system DPI, whose frame this is.
    AdjustWindowRectEx(&frame, style, menu, exStyle);
    return ScaleRectBetween(frame, SystemDpi(), dpi);
}
} // namespace

UINT SystemDpi()
{
    static const auto forSystem = User32Call<GetDpiForSystemCall>("GetDpiForSystem");
    if (forSystem)
        return forSystem();
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kLayoutDpi;
}

UINT WindowDpi(HWND window)
{
    static const auto forWindow = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
    UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int ScaleToDpi(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kLayoutDpi));
}

RECT ScaleRectBetween(const RECT& rect, UINT fromDpi, UINT toDpi)
{
    auto scale = [&](LONG edge) { return MulDiv(edge, static_cast<int>(toDpi), static_cast<int>(fromDpi)); };
    return RECT{scale(rect.left), scale(rect.top), scale(rect.right), scale(rect.bottom)};
}

RECT ScaleBoxToDpi(int x, int y, int width, int height, UINT dpi)
{
    return ScaleRectBetween(RECT{x, y, x + width, y + height}, kLayoutDpi, dpi);
}

int SystemMetricForDpi(int index, UINT dpi)
{
    static const auto forDpi = User32Call<GetSystemMetricsForDpiCall>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

SIZE OuterSizeForDpi(SIZE outer96, DWORD style, DWORD exStyle, bool menu, UINT dpi)
{
    if (dpi == kLayoutDpi)
        return outer96;
    RECT frame96 = FrameForDpi(style, exStyle, menu, kLayoutDpi);
    RECT frame = FrameForDpi(style, exStyle, menu, dpi);
    int clientWidth = outer96.cx - (frame96.right - frame96.left);
    int clientHeight = outer96.cy - (frame96.bottom - frame96.top);
    return SIZE{ScaleToDpi(clientWidth, dpi) + frame.right - frame.left, ScaleToDpi(clientHeight, dpi) + frame.bottom - frame.top};
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool menu, UINT dpi)
{
    RECT frame = FrameForDpi(style, exStyle, menu, dpi);
    return SIZE{client.cx + frame.right - frame.left, client.cy + frame.bottom - frame.top};
}

HFONT CreateFontForDpi(const wchar_t* face, int height96, int weight, UINT dpi)
{
    return CreateFontW(ScaleToDpi(height96, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

UINT NewDpiOf(WPARAM dpiChangedWParam)
{
    // Both words carry the DPI; the system scales the two axes alike.
    UINT dpi = HIWORD(dpiChangedWParam);
    return dpi ? dpi : kLayoutDpi;
}

void MoveToSuggestedRect(HWND window, LPARAM dpiChangedLParam)
{
    const RECT* suggested = reinterpret_cast<const RECT*>(dpiChangedLParam);
    if (!suggested)
        return;
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}
