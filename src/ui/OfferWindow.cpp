// The "Free Book" window: the book picture, a painted heading and paragraphs, and two links.
#include "OfferWindow.h"

#include "DpiPicture.h"
#include "DpiScale.h"
#include "HighContrast.h"
#include "PathParts.h"
#include "ProductInfo.h"
#include "ProgramIcon.h"
#include "ShellOpen.h"
#include "StaticLink.h"
#include "UniqueHandle.h"
#include "Win32Text.h"
#include "resource.h"

#include <iterator>
#include <string>

namespace {
constexpr wchar_t kCaption[] = L"Free Book";
constexpr wchar_t kOfferLinkText[] = L"Free Book Offer (Adobe\u00ae PDF)";
constexpr wchar_t kHeading[] = L"FREE BOOK";

// The window keeps this place and size whatever the system asks for (at 96 DPI; at another its
// client area is scaled).
constexpr int kHalfPlacementHeight = 225;
constexpr int kCreatedWidth = 600;
constexpr int kCreatedHeight = 500;
constexpr int kFinalHeight = 420;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_OVERLAPPEDWINDOW;

// Everything below is laid out for 96 DPI and scaled edge by edge for the window's DPI.
constexpr SIZE kPicture100{100, 161};
constexpr PictureVariant kOfferPictures[] = {{100, IDB_OFFER_PICTURE},     {125, IDB_OFFER_PICTURE_125},
                                             {150, IDB_OFFER_PICTURE_150}, {200, IDB_OFFER_PICTURE_200},
                                             {250, IDB_OFFER_PICTURE_250}};
constexpr PictureVariants kOfferPicture{kOfferPictures, std::size(kOfferPictures), kPicture100};
constexpr int kPictureRight = 580;
constexpr int kHeadingHeight = 24;
constexpr int kLinkHeight = 20;

struct LinkPlace {
    int id;
    int x, y, width, height;
};
constexpr LinkPlace kLinkPlaces[] = {{IDC_OFFER_PDF, 10, 240, 300, 20}, {IDC_OFFER_WEBSITE, 220, 350, 200, 20}};

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
// The DPI the window is laid out for; none before the window exists.
UINT LayoutDpi = 0;
// While the window follows a DPI change it keeps the place the system suggests.
bool FollowingDpi = false;

UINT OfferDpi(HWND window)
{
    return LayoutDpi ? LayoutDpi : WindowDpi(window);
}

HFONT CreateTahoma(int height, int weight, UINT dpi)
{
    return CreateFontForDpi(L"Tahoma", height, weight, dpi);
}

// Where the picture stands: right edge at x 580, top at 10, its 100 x 161 scaled.
RECT PicturePlace(UINT dpi)
{
    return ScaleBoxToDpi(kPictureRight - kPicture100.cx, 10, kPicture100.cx, kPicture100.cy, dpi);
}

SIZE WindowSize(int height, UINT dpi)
{
    return OuterSizeForDpi(SIZE{kCreatedWidth, height}, kStyle, kExStyle, false, dpi);
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

POINT PlacementCorner(SIZE size, UINT dpi)
{
    RECT desktop = DesktopArea();
    return POINT{desktop.right / 2 - size.cx / 2, desktop.bottom / 2 - ScaleToDpi(kHalfPlacementHeight, dpi)};
}

HWND CreateLinkLabel(HWND window, int id, const wchar_t* text, int x, int y, int width, int height)
{
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, x, y, width, height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), WindowInstance(window), nullptr);
}

// The picture, the link font and the links' places for dpi; the earlier font goes once the links
// have the new one.
void LayOut(HWND window, UINT dpi)
{
    LayoutDpi = dpi;
    RECT picture = PicturePlace(dpi);
    Picture = LoadPictureCovering(WindowInstance(window), kOfferPicture,
                                  SIZE{picture.right - picture.left, picture.bottom - picture.top});
    UniqueFont earlier(LinkFont.release());
    LinkFont.reset(CreateTahoma(kLinkHeight, 0, dpi));
    for (const LinkPlace& link : kLinkPlaces) {
        HWND label = GetDlgItem(window, link.id);
        RECT place = ScaleBoxToDpi(link.x, link.y, link.width, link.height, dpi);
        SetWindowPos(label, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.get()), TRUE);
    }
    ShowProgramIcons(window, dpi);
}

LRESULT OnCreate(HWND window)
{
    OpenWindow = window;
    HWND offer = CreateLinkLabel(window, IDC_OFFER_PDF, kOfferLinkText, 10, 240, 300, 20);
    HWND site = CreateLinkLabel(window, IDC_OFFER_WEBSITE, L"" NOMARO_WEBSITE_TEXT, 220, 350, 200, 20);
    // The font goes first: each link's underlined font is made from it.
    LayOut(window, WindowDpi(window));
    MakeStaticLink(offer);
    MakeStaticLink(site);
    return 0;
}

// Every size change, the system's own included, ends at 600 x 420 (at 96 DPI) at the fixed place;
// a move to a monitor of another DPI keeps the place the system suggests for it.
LRESULT OnSize(HWND window)
{
    UINT dpi = OfferDpi(window);
    SIZE size = WindowSize(kFinalHeight, dpi);
    POINT corner = PlacementCorner(size, dpi);
    if (FollowingDpi) {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        corner = POINT{bounds.left, bounds.top};
    }
    MoveWindow(window, corner.x, corner.y, size.cx, size.cy, FALSE);
    // The move itself draws nothing; without this the frame and the background it uncovers stay
    // unpainted (black under Wine) when the window is first shown.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return 0;
}

LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    LayOut(window, NewDpiOf(wParam));
    FollowingDpi = true;
    MoveToSuggestedRect(window, lParam);
    FollowingDpi = false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

// Black on white as the window has always been, the system's colours under high contrast.
void DrawTexts(HDC dc, UINT dpi)
{
    RECT picture = PicturePlace(dpi);
    LONG besidePicture = picture.left - ScaleToDpi(10, dpi);
    SetTextColor(dc, ThemeColour(RGB(0, 0, 0), COLOR_WINDOWTEXT));
    if (HighContrastOn())
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    {
        UniqueFont heading(CreateTahoma(kHeadingHeight, FW_BOLD, dpi));
        SelectedObject selected(dc, heading.get());
        RECT box = ScaleBoxToDpi(10, 10, 0, 20, dpi);
        box.right = besidePicture;
        DrawTextW(dc, kHeading, -1, &box, 0);
    }
    UniqueFont body(CreateTahoma(kBodyHeight, 0, dpi));
    SelectedObject selected(dc, body.get());
    for (const Paragraph& paragraph : kParagraphs) {
        RECT box = ScaleRectBetween(paragraph.box, kLayoutDpi, dpi);
        if (paragraph.box.right == kBesidePicture)
            box.right = besidePicture;
        DrawTextW(dc, paragraph.text, -1, &box, DT_WORDBREAK);
    }
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    UINT dpi = OfferDpi(window);
    DrawPicture(dc, PicturePlace(dpi), Picture.get());
    DrawTexts(dc, dpi);
    EndPaint(window, &paint);
    return 0;
}

// The PDF ships beside the program, wherever the current directory is.
std::wstring OfferPdfPath()
{
    return std::wstring(FolderPart(GetModuleFileNameString(nullptr))) + L"\\" + kOfferPdfName;
}

LRESULT OnCommand(HWND window, int id)
{
    switch (id) {
    case IDCANCEL:
        // Escape, which the message loop turns into this command, closes the window.
        DestroyWindow(window);
        return 1;
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

// The labels sit on white like the window (on the window colour under high contrast); the link
// parent turns the links' text blue.
LRESULT OnColourStatic(HDC dc)
{
    if (HighContrastOn()) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT OnDestroy()
{
    LinkFont.reset();
    Picture.reset();
    OpenWindow = nullptr;
    LayoutDpi = 0;
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
    // Made for the owner's DPI, where it opens; its size notifications set it right on another.
    UINT dpi = owner ? WindowDpi(owner) : SystemDpi();
    SIZE size = WindowSize(kCreatedHeight, dpi);
    POINT corner = PlacementCorner(size, dpi);
    HWND window = CreateWindowExW(kExStyle, kOfferWindowClassName, kCaption, kStyle | WS_MINIMIZE, corner.x, corner.y,
                                  size.cx, size.cy, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
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
    case WM_DPICHANGED:
        return OnDpiChanged(window, wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast switched on or off: the colours are read again when painting.
        InvalidateRect(window, nullptr, TRUE);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(window);
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return OnColourStatic(reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
