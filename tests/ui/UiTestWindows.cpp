// Real windows for the ui component tests.
#include "UiTestWindows.h"

#include "OfferWindow.h"

namespace {
constexpr wchar_t kParentClass[] = L"NomaroTest_LinkParent";
HBRUSH ParentBrush = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        TestParent::Commands().push_back(LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        SetTextColor(reinterpret_cast<HDC>(wParam), kParentTextColour);
        SetBkColor(reinterpret_cast<HDC>(wParam), kParentBackColour);
        return reinterpret_cast<LRESULT>(ParentBrush);
    case WM_DESTROY:
        TestParent::Destroyed().seen = true;
        TestParent::Destroyed().procedure = GetWindowLongPtrW(window, GWLP_WNDPROC);
        TestParent::Destroyed().originalProcedureProperty = GetPropW(window, L"CF_OriginalProcedure");
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterParentClass()
{
    static bool registered = false;
    if (registered)
        return;
    ParentBrush = CreateSolidBrush(kParentBackColour);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kParentClass;
    registered = RegisterClassExW(&windowClass) != 0;
}
} // namespace

TestParent::TestParent()
{
    RegisterParentClass();
    Commands().clear();
    Destroyed() = DestroySeen{};
    window_ = CreateWindowExW(0, kParentClass, L"Link parent", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
}

TestParent::~TestParent()
{
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

HBRUSH TestParent::brush() const
{
    return ParentBrush;
}

WNDPROC TestParent::Procedure()
{
    return ParentProc;
}

std::vector<int>& TestParent::Commands()
{
    static std::vector<int> commands;
    return commands;
}

TestParent::DestroySeen& TestParent::Destroyed()
{
    static DestroySeen seen;
    return seen;
}

HWND MakeStatic(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height, HFONT font, DWORD style)
{
    HWND control = CreateWindowExW(0, L"STATIC", text, style, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HFONT CreateTestFont(int height, bool underline)
{
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

LOGFONTW FontDescription(HGDIOBJ font)
{
    LOGFONTW description{};
    GetObjectW(font, sizeof(description), &description);
    return description;
}

bool IsLiveFont(HGDIOBJ font)
{
    return font != nullptr && GetObjectType(font) == OBJ_FONT;
}

COLORREF Pixels::At(int x, int y) const
{
    DWORD value = data[static_cast<size_t>(y) * width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

int Pixels::Count(const RECT& area, const std::function<bool(COLORREF)>& condition) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom && y < height; ++y) {
        for (int x = area.left; x < area.right && x < width; ++x) {
            if (condition(At(x, y)))
                ++count;
        }
    }
    return count;
}

Pixels CaptureClient(HWND window)
{
    Pixels pixels;
    RECT client{};
    GetClientRect(window, &client);
    pixels.width = client.right;
    pixels.height = client.bottom;
    pixels.data.assign(static_cast<size_t>(pixels.width) * pixels.height, 0);
    HDC windowDc = GetDC(window);
    UniqueMemoryDc memory(CreateCompatibleDC(windowDc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        pixels.data.assign(source, source + pixels.data.size());
    }
    ReleaseDC(window, windowDc);
    return pixels;
}

bool IsBluish(COLORREF colour)
{
    return GetBValue(colour) > 180 && GetRValue(colour) < 110 && GetGValue(colour) < 110;
}

bool IsDark(COLORREF colour)
{
    return GetRValue(colour) < 90 && GetGValue(colour) < 90 && GetBValue(colour) < 90;
}

void PumpWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {
struct ClassSearch {
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ClassSearch*>(data);
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    if (search->className == name)
        search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> ThreadWindows(const std::wstring& className)
{
    ClassSearch search{className, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {
struct DialogSearch {
    std::wstring caption;
    HWND found;
};

// A plain CALLBACK function: 32-bit code calls a window enumerator with another convention than
// a lambda has.
BOOL CALLBACK TakeDialogOfCaption(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DialogSearch*>(data);
    wchar_t name[64] = L"";
    wchar_t text[64] = L"";
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, text, 64);
    if (std::wstring(name) == L"#32770" && search->caption == text && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindDialogOnThread(DWORD threadId, const std::wstring& caption)
{
    DialogSearch search{caption, nullptr};
    EnumThreadWindows(threadId, TakeDialogOfCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void EndDialogLoop(DWORD threadId)
{
    // A modal loop that meets WM_QUIT ends its dialog and posts the message again.
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
}

void RegisterOfferClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW offerClass{};
    offerClass.cbSize = sizeof(offerClass);
    offerClass.style = CS_HREDRAW | CS_VREDRAW;
    offerClass.lpfnWndProc = OfferWindowProc;
    offerClass.hInstance = GetModuleHandleW(nullptr);
    offerClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    offerClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    offerClass.lpszClassName = kOfferWindowClassName;
    registered = RegisterClassExW(&offerClass) != 0;
}
