// The "Free Book" window: the book picture, a painted heading and paragraphs, and two links.
#include "OfferWindow.h"

#include "PathParts.h"
#include "ProductInfo.h"
#include "ShellOpen.h"
#include "StaticLink.h"
#include "UniqueHandle.h"
#include "Win32Text.h"
#include "resource.h"

#include <string>

namespace {
constexpr wchar_t kCaption[] = L"Free Book";
constexpr wchar_t kOfferLinkText[] = L"Free Book Offer (Adobe\u00ae PDF)";
constexpr wchar_t kHeading[] = L"FREE BOOK";

// The window keeps this place and size whatever the system asks for.
constexpr int kHalfWidth = 300;
constexpr int kHalfPlacementHeight = 225;
constexpr int kCreatedWidth = 600;
constexpr int kCreatedHeight = 500;
constexpr int kFinalHeight = 420;

// The paragraphs must fit their boxes: at the heading's height 24 the first two would be cut
// off at their bottom edges and the last would run under the web-site link at x = 220.
constexpr int kBodyHeight = 16;

struct Paragraph {
    RECT box; // right edge 0: up to the picture's left margin
    const wchar_t* text;
};

// The right edge of the heading and the first paragraph stays clear of the picture.
constexpr LONG kBesidePicture = 0;

const Paragraph kParagraphs[] = {
    {{10, 50, kBesidePicture, 150},
     L"Do you spend more time looking for a file than working on it? Do your photo folders hold names like "
     L"IMG_0417.JPG that tell you nothing? Would you like a way of naming files that will still make sense to you "
     L"years from now? Then this little book was written for you."},
    {{10, 180, 580, 220},
     L"Get your free copy of \"Tidy Files, Calm Mind\" by Mara Lindqvist, a friendly guide in Adobe PDF, from the "
     L"link below:  "},
    {{10, 270, 580, 340},
     L"Or you can write to us at:\n" NOMARO_MAKER_NAME " \u2022 " NOMARO_ADDRESS_BUILDING " \u2022 " NOMARO_ADDRESS_STREET
     " \u2022 " NOMARO_ADDRESS_TOWN " \u2022 " NOMARO_ADDRESS_COUNTRY},
    {{10, 350, 580, 390}, L"Find more free software at: "},
};

// One offer window at most; its picture and link font live exactly as long as it does.
HWND OpenWindow = nullptr;
UniqueBitmap Picture;
UniqueFont LinkFont;

HFONT CreateTahoma(int height, int weight)
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

SIZE PictureSize()
{
    BITMAP bitmap{};
    if (!Picture || !GetObjectW(Picture.get(), sizeof(bitmap), &bitmap))
        return SIZE{0, 0};
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

HINSTANCE WindowInstance(HWND window)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

RECT DesktopArea()
{
    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    return desktop;
}

POINT PlacementCorner()
{
    RECT desktop = DesktopArea();
    return POINT{desktop.right / 2 - kHalfWidth, desktop.bottom / 2 - kHalfPlacementHeight};
}

HWND CreateLinkLabel(HWND window, int id, const wchar_t* text, int x, int y, int width, int height)
{
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, x, y, width, height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), WindowInstance(window), nullptr);
}

LRESULT OnCreate(HWND window)
{
    OpenWindow = window;
    Picture.reset(static_cast<HBITMAP>(
        LoadImageW(WindowInstance(window), MAKEINTRESOURCEW(IDB_OFFER_PICTURE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    HWND offer = CreateLinkLabel(window, IDC_OFFER_PDF, kOfferLinkText, 10, 240, 300, 20);
    HWND site = CreateLinkLabel(window, IDC_OFFER_WEBSITE, L"" NOMARO_WEBSITE_TEXT, 220, 350, 200, 20);
    LinkFont.reset(CreateTahoma(20, 0));
    // The font goes first: each link's underlined font is made from it.
    SendMessageW(offer, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.get()), TRUE);
    SendMessageW(site, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.get()), TRUE);
    MakeStaticLink(offer);
    MakeStaticLink(site);
    return 0;
}

// Every size change, the system's own included, ends at 600 x 420 at the fixed place.
LRESULT OnSize(HWND window)
{
    POINT corner = PlacementCorner();
    MoveWindow(window, corner.x, corner.y, kCreatedWidth, kFinalHeight, FALSE);
    // The move itself draws nothing; without this the frame and the background it uncovers stay
    // unpainted (black under Wine) when the window is first shown.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return 0;
}

void DrawPicture(HDC dc, SIZE size)
{
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory)
        return;
    SelectedObject selected(memory.get(), Picture.get());
    BitBlt(dc, 580 - size.cx, 10, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

void DrawTexts(HDC dc, SIZE picture)
{
    LONG besidePicture = 570 - picture.cx;
    SetTextColor(dc, RGB(0, 0, 0));
    {
        UniqueFont heading(CreateTahoma(24, FW_BOLD));
        SelectedObject selected(dc, heading.get());
        RECT box{10, 10, besidePicture, 30};
        DrawTextW(dc, kHeading, -1, &box, 0);
    }
    UniqueFont body(CreateTahoma(kBodyHeight, 0));
    SelectedObject selected(dc, body.get());
    for (const Paragraph& paragraph : kParagraphs) {
        RECT box = paragraph.box;
        if (box.right == kBesidePicture)
            box.right = besidePicture;
        DrawTextW(dc, paragraph.text, -1, &box, DT_WORDBREAK);
    }
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    SIZE picture = PictureSize();
    DrawPicture(dc, picture);
    DrawTexts(dc, picture);
    EndPaint(window, &paint);
    return 0;
}

// The PDF ships beside the program, wherever the current directory is.
std::wstring OfferPdfPath()
{
    return std::wstring(FolderPart(GetModuleFileNameString(nullptr))) + L"\\" + kOfferPdfName;
}

LRESULT OnCommand(int id)
{
    switch (id) {
    case IDC_OFFER_PDF:
        OpenWithShell(OfferPdfPath());
        return 1;
    case IDC_OFFER_WEBSITE:
        OpenMakerWebSite();
        return 1;
    default:
        return 0;
    }
}

// The labels sit on white like the window; the link parent turns the links' text blue.
LRESULT OnColourStatic(HDC dc)
{
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT OnDestroy()
{
    LinkFont.reset();
    Picture.reset();
    OpenWindow = nullptr;
    return 0;
}
} // namespace

HWND OfferWindowHandle()
{
    return OpenWindow;
}

BOOL OpenOfferWindow(HWND owner)
{
    if (OpenWindow) {
        SetFocus(OpenWindow);
        return TRUE;
    }
    RECT desktop = DesktopArea();
    HWND window = CreateWindowExW(WS_EX_OVERLAPPEDWINDOW, kOfferWindowClassName, kCaption,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZE, desktop.right / 2 - kHalfWidth,
                                  desktop.bottom / 2 - kHalfPlacementHeight, kCreatedWidth, kCreatedHeight, owner,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return TRUE;
}

LRESULT CALLBACK OfferWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_SIZE:
        return OnSize(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return OnColourStatic(reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
