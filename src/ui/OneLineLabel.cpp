// Labels that keep their text on one line, their letters set a little closer where it is too wide.
#include "OneLineLabel.h"

#include "UniqueHandle.h"
#include "WindowText.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {
constexpr UINT_PTR kSubclassId = 0x4F4C; // "OL"

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The text from the left edge, each letter's advance shrunk alike so that the last ends at width.
void DrawCondensed(HDC dc, const std::wstring& text, int width)
{
    int count = static_cast<int>(text.size());
    std::vector<int> ends(text.size());
    SIZE whole{};
    GetTextExtentExPointW(dc, text.c_str(), count, 0, nullptr, ends.data(), &whole);
    std::vector<int> advances(text.size());
    int previous = 0;
    for (int i = 0; i < count; ++i) {
        int end = whole.cx > 0 ? MulDiv(ends[i], width, whole.cx) : ends[i];
        advances[i] = end - previous;
        previous = end;
    }
    ExtTextOutW(dc, 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(count), advances.data());
}

// True when it painted; false leaves the painting to the static.
bool PaintOnOneLine(HWND label)
{
    std::wstring text = GetWindowTextString(label);
    RECT client{};
    GetClientRect(label, &client);
    HDC measuring = GetDC(label);
    if (!measuring)
        return false;
    int whole = 0;
    {
        SelectedObject font(measuring, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        whole = TextWidth(measuring, text);
    }
    ReleaseDC(label, measuring);
    // Trailing blanks count when the static decides where to wrap.
    if (whole <= client.right)
        return false;

    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(label, &paint);
    // Colours as the static takes them: the parent's brush and text colour, grey when disabled.
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    if (!IsWindowEnabled(label))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    {
        SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        std::wstring shown = text.substr(0, text.find_last_not_of(L' ') + 1);
        IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
        if (TextWidth(dc, shown) <= client.right)
            ExtTextOutW(dc, 0, 0, 0, nullptr, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
        else
            DrawCondensed(dc, shown, client.right);
    }
    EndPaint(label, &paint);
    return true;
}

LRESULT CALLBACK OneLineLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept
{
    switch (message) {
    case WM_PAINT:
        try {
            if (PaintOnOneLine(label))
                return 0;
        } catch (...) {
            // Without memory for the text the static paints it as it can.
        }
        break;
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT: {
        // Wine's static draws itself at once on these, wrapped, without a WM_PAINT: drawn again.
        LRESULT result = DefSubclassProc(label, message, wParam, lParam);
        RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(label, OneLineLabelProc, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}
} // namespace

void KeepLabelOnOneLine(HWND label)
{
    SetWindowSubclass(label, OneLineLabelProc, kSubclassId, 0);
}
