// The picture in the lower half of the main window that takes dropped folders.
#include "DropPanel.h"

#include "AppState.h"
#include "DpiPicture.h"
#include "MainCommands.h"
#include "resource.h"

#include <shellapi.h>

#include <iterator>
#include <string>

static constexpr PictureVariant kDropPictures[] = {{100, IDB_DROP_PICTURE},     {125, IDB_DROP_PICTURE_125},
                                                   {150, IDB_DROP_PICTURE_150}, {200, IDB_DROP_PICTURE_200},
                                                   {250, IDB_DROP_PICTURE_250}};
static constexpr PictureVariants kDropPicture{kDropPictures, std::size(kDropPictures), SIZE{420, 300}};

void LoadDropPicture(HWND panel)
{
    RECT client{};
    GetClientRect(panel, &client);
    DropPicture = LoadPictureCovering(AppInstance, kDropPicture, SIZE{client.right, client.bottom});
}

// The first dropped path, taken whole, becomes the chosen folder; the drop is released.
static void HandleDrop(HWND panel, HDROP drop)
{
    ScopeExit release([drop] { DragFinish(drop); });
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return;
    // Asked for its length first: a path cut to a fixed buffer could name another folder.
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    UINT copied = DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(copied);
    // Wine counts one path in a drop that holds none; an empty path chooses nothing.
    if (path.empty())
        return;
    TakeChosenFolder(GetParent(panel), path);
}

// The picture is the background: painting it in the erase step leaves nothing for WM_PAINT. The
// whole picture fills the whole client area, one to one at 96 DPI.
static void PaintDropPicture(HWND panel, HDC dc)
{
    RECT client{};
    GetClientRect(panel, &client);
    if (!DropPicture) {
        // Without the picture the panel still must not show what was there before.
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    DrawPicture(dc, client, DropPicture.get());
}

LRESULT CALLBACK DropPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_DROPFILES:
        HandleDrop(window, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_ERASEBKGND:
        PaintDropPicture(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_DESTROY:
        DropPicture.reset();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
