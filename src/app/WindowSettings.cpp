// The main window's fields as settings: captured from the controls, then written to the registry.
#include "WindowSettings.h"

#include "Settings.h"
#include "WindowText.h"
#include "resource.h"

static bool IsChecked(HWND window, int id)
{
    return IsDlgButtonChecked(window, id) == BST_CHECKED;
}

// The stored mode: the first checked radio in this order, 0 when none is.
static DWORD CheckedFunction(HWND window)
{
    static constexpr struct {
        int id;
        DWORD function;
    } kRadios[] = {{IDC_LOWER, 0}, {IDC_UPPER, 1}, {IDC_FAVORITES, 2}, {IDC_LISTING, 5}, {IDC_NUMBER, 3}, {IDC_READ_ONLY, 6}};
    for (const auto& radio : kRadios) {
        if (IsChecked(window, radio.id))
            return radio.function;
    }
    return 0;
}

static std::wstring ControlText(HWND window, int id, size_t limit)
{
    std::wstring text = GetDlgItemTextString(window, id);
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

void SaveWindowSettings(HWND mainWindow)
{
    Settings.FillTags = IsChecked(mainWindow, IDC_FILL_TAGS) ? 1 : 0;
    Settings.Rtf = IsChecked(mainWindow, IDC_RTF) ? 1 : 0;
    Settings.Function = CheckedFunction(mainWindow);
    Settings.Tag = ControlText(mainWindow, IDC_NAME, kTagSaveLimit);
    Settings.Extention = ControlText(mainWindow, IDC_EXT, kExtentionSaveLimit);
    Settings.Number = ControlText(mainWindow, IDC_START_NUMBER, kNumberSaveLimit);
    Settings.Folder = ControlText(mainWindow, IDC_FOLDER, kFolderSaveLimit);
    SaveSettings();
}
