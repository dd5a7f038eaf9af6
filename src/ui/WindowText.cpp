// A window's or a dialog control's whole text, however long.
#include "WindowText.h"

std::wstring GetWindowTextString(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring GetDlgItemTextString(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? GetWindowTextString(control) : std::wstring();
}
