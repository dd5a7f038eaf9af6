// The About dialog: product heading, two links and the notice box.
#include "AboutDialog.h"

#include "AccessibleName.h"
#include "DialogDpi.h"
#include "DpiPicture.h"
#include "DpiScale.h"
#include "KeyboardCues.h"
#include "OfferWindow.h"
#include "ProductInfo.h"
#include "ShellOpen.h"
#include "StaticLink.h"
#include "UniqueHandle.h"
#include "WindowPlacement.h"
#include "resource.h"

#include <iterator>

namespace {
// The dialog owns its heading font through this property until it is destroyed.
constexpr wchar_t kHeadingFontProperty[] = L"Nomaro_HeadingFont";
constexpr wchar_t kNoticeText[] = L"";
constexpr wchar_t kNoticeProcedureProperty[] = L"Nomaro_NoticeProcedure";
// The picture drawn for a DPI other than 96, owned by the dialog; at 96 the template's own.
constexpr wchar_t kPictureProperty[] = L"Nomaro_AboutPicture";
constexpr wchar_t kNoticeName[] = L"Notice";

constexpr PictureVariant kAboutPictures[] = {{100, IDB_ABOUT_PICTURE},     {125, IDB_ABOUT_PICTURE_125},
                                             {150, IDB_ABOUT_PICTURE_150}, {200, IDB_ABOUT_PICTURE_200},
                                             {250, IDB_ABOUT_PICTURE_250}};
constexpr PictureVariants kAboutPicture{kAboutPictures, std::size(kAboutPictures), SIZE{90, 90}};

// A multi-line edit claims Escape and answers it by closing its dialog. The notice box lets
// Escape go to the dialog instead, which ignores it, and keeps Enter for itself.
LRESULT CALLBACK NoticeBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto earlier = reinterpret_cast<WNDPROC>(GetPropW(box, kNoticeProcedureProperty));
    if (message == WM_NCDESTROY) {
        RemovePropW(box, kNoticeProcedureProperty);
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(earlier));
    }
    LRESULT result = CallWindowProcW(earlier, box, message, wParam, lParam);
    if (message == WM_GETDLGCODE && wParam == VK_ESCAPE)
        result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return result;
}

void KeepEscapeFromNoticeBox(HWND box)
{
    SetPropW(box, kNoticeProcedureProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(box, GWLP_WNDPROC)));
    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoticeBoxProc));
}

// The heading font for dpi replaces the earlier one, which goes once the heading no longer uses it.
void ShowHeadingFont(HWND dialog, UINT dpi)
{
    HFONT heading = CreateFontForDpi(L"Tahoma", 24, FW_BOLD, dpi);
    UniqueFont earlier(static_cast<HFONT>(GetPropW(dialog, kHeadingFontProperty)));
    SetPropW(dialog, kHeadingFontProperty, heading);
    SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_SETFONT, reinterpret_cast<WPARAM>(heading), TRUE);
}

// At 96 DPI the template's picture stays; at any other the one drawn for that scale, at 90 x 90
// scaled.
void ShowPicture(HWND dialog, UINT dpi)
{
    if (dpi == kLayoutDpi && !GetPropW(dialog, kPictureProperty))
        return;
    UniqueBitmap picture = LoadPictureAtSize(GetModuleHandleW(nullptr), kAboutPicture,
                                             SIZE{ScaleToDpi(90, dpi), ScaleToDpi(90, dpi)});
    if (!picture)
        return;
    UniqueBitmap earlier(static_cast<HBITMAP>(GetPropW(dialog, kPictureProperty)));
    auto replaced = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(dialog, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get())));
    // The template's picture was loaded for this control alone, which lets it go now.
    if (replaced && replaced != earlier.get())
        DeleteObject(replaced);
    SetPropW(dialog, kPictureProperty, picture.release());
}

BOOL OnInitDialog(HWND dialog)
{
    // Kept on screen too: the dialog is wider than the main window it is centred over.
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    UINT dpi = WindowDpi(dialog);
    ShowHeadingFont(dialog, dpi);
    ShowPicture(dialog, dpi);
    SetDlgItemTextW(dialog, IDC_ABOUT_SUBTITLE, L"" NOMARO_PRODUCT_SUBTITLE);
    HWND notice = GetDlgItem(dialog, IDC_ABOUT_NOTICE);
    SetDlgItemTextW(dialog, IDC_ABOUT_NOTICE, kNoticeText);
    KeepEscapeFromNoticeBox(notice);
    SetAccessibleName(notice, kNoticeName);
    MakeStaticLink(GetDlgItem(dialog, IDC_ABOUT_WEBSITE));
    MakeStaticLink(GetDlgItem(dialog, IDC_ABOUT_MORE_INFO));
    // Tab goes as the eye does: OK, the two links, then the notice box below them.
    SetWindowPos(notice, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TrackDialogDpi(dialog);
    ShowKeyboardCues(dialog);
    // TRUE: the default focus goes to the first tab stop, the OK button.
    return TRUE;
}

BOOL OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    UINT dpi = OnDialogDpiChanged(dialog, wParam, lParam);
    ShowHeadingFont(dialog, dpi);
    ShowPicture(dialog, dpi);
    return TRUE;
}

// Escape arrives as IDCANCEL and is ignored on purpose: only OK, Enter and the close box end the dialog.
BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        EndDialog(dialog, 0);
        return FALSE;
    case IDC_ABOUT_WEBSITE:
        OpenMakerWebSite();
        return TRUE;
    case IDC_ABOUT_MORE_INFO:
        OpenOfferWindow(GetWindow(dialog, GW_OWNER));
        return TRUE;
    default:
        return FALSE;
    }
}

void OnDestroy(HWND dialog)
{
    UniqueFont heading(static_cast<HFONT>(RemovePropW(dialog, kHeadingFontProperty)));
    UniqueBitmap picture(static_cast<HBITMAP>(RemovePropW(dialog, kPictureProperty)));
}
} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DPICHANGED:
        return OnDpiChanged(dialog, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
