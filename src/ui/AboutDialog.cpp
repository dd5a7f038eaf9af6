// The About dialog: product heading, two links and the notice box.
#include "AboutDialog.h"

#include "OfferWindow.h"
#include "ProductInfo.h"
#include "ShellOpen.h"
#include "StaticLink.h"
#include "UniqueHandle.h"
#include "WindowPlacement.h"
#include "resource.h"

namespace {
// The dialog owns its heading font through this property until it is destroyed.
constexpr wchar_t kHeadingFontProperty[] = L"Nomaro_HeadingFont";
constexpr wchar_t kNoticeText[] = L"";
constexpr wchar_t kNoticeProcedureProperty[] = L"Nomaro_NoticeProcedure";

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

HFONT CreateHeadingFont()
{
    return CreateFontW(24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

BOOL OnInitDialog(HWND dialog)
{
    // Kept on screen too: the dialog is wider than the main window it is centred over.
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    HFONT heading = CreateHeadingFont();
    SetPropW(dialog, kHeadingFontProperty, heading);
    SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_SETFONT, reinterpret_cast<WPARAM>(heading), TRUE);
    SetDlgItemTextW(dialog, IDC_ABOUT_SUBTITLE, L"" NOMARO_PRODUCT_SUBTITLE);
    SetDlgItemTextW(dialog, IDC_ABOUT_NOTICE, kNoticeText);
    KeepEscapeFromNoticeBox(GetDlgItem(dialog, IDC_ABOUT_NOTICE));
    MakeStaticLink(GetDlgItem(dialog, IDC_ABOUT_WEBSITE));
    MakeStaticLink(GetDlgItem(dialog, IDC_ABOUT_MORE_INFO));
    // TRUE: the default focus goes to the first tab stop, the OK button.
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
}
} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
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
