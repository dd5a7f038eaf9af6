// File > Preview... in the main window over real files: the plan it shows, and Close. Its Start is
// tested end to end.
#include "MainWindowFixture.h"

#include "TempFolder.h"

#include <commctrl.h>

#include <algorithm>

namespace {
struct PreviewSeen {
    std::wstring summary;
    std::vector<std::wstring> whatHappens;
    bool startEnabled = true;
};

class RunPreviewTest : public MainWindowTest {
protected:
    // Chooses File > Preview... and answers the preview with the given button (every message box
    // with OK); gives what the preview showed and the message boxes' texts.
    std::vector<std::wstring> Preview(int button, PreviewSeen& seen)
    {
        std::vector<std::wstring> boxes;
        {
            DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen& box) {
                if (box.isMessageBox) {
                    PressDialogButton(dialog, IDOK);
                    return;
                }
                if (box.caption != L"Preview")
                    return;
                wchar_t text[512] = L"";
                GetDlgItemTextW(dialog, IDC_PREVIEW_SUMMARY, text, 512);
                seen.summary = text;
                HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
                for (int row = 0; row < ListView_GetItemCount(list); ++row) {
                    ListView_GetItemText(list, row, 3, text, 512);
                    seen.whatHappens.push_back(text);
                }
                seen.startEnabled = Enabled(IDC_START);
                PressDialogButton(dialog, button);
            });
            SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_PREVIEW, 0), 0);
            for (const DialogWatcher::Seen& box : watcher.seen()) {
                if (box.isMessageBox)
                    boxes.push_back(box.text);
            }
        }
        return boxes;
    }
    TempFolder root_;
};
} // namespace

TEST_F(RunPreviewTest, CloseShowsThePlanAndChangesNothing)
{
    root_.WriteFile(L"SUB\\FILE.TXT");
    root_.WriteFile(L"done.txt");
    Open();
    SetWindowTextW(Control(IDC_FOLDER), root_.path().c_str());
    PreviewSeen seen;
    std::vector<std::wstring> boxes = Preview(IDCANCEL, seen);
    EXPECT_EQ(seen.summary, L"Entries: 3, to rename: 2, already right: 1, cannot change: 0");
    std::sort(seen.whatHappens.begin(), seen.whatHappens.end());
    EXPECT_EQ(seen.whatHappens, (std::vector<std::wstring>{L"Already right", L"Renamed", L"Renamed"}));
    EXPECT_FALSE(seen.startEnabled) << "the panel is frozen while the preview is open";
    EXPECT_TRUE(boxes.empty()) << "no Done! after Close";
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\SUB", L".\\SUB\\FILE.TXT", L".\\done.txt"}));
    EXPECT_TRUE(Enabled(IDC_START));
}
