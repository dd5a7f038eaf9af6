// Drives the real Nomaro.exe from outside, as a user would: start it, find its
// windows and message boxes, read their texts, click controls, wait for it to end.
#pragma once

#include "UniqueHandle.h"
#include "WaitUntil.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// The path of Nomaro.exe, taken from the test's --nomaro=PATH argument (a Unix path
// under Wine is mapped onto drive Z:).
const std::wstring& NomaroExePath();
void SetNomaroExePathFromArguments(int argc, char** argv);

struct ChildProgram {
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    DWORD processId = 0;
};

// Starts Nomaro.exe with the given argument text (appended to the quoted program path)
// in the given working directory (the current one when empty).
ChildProgram StartNomaro(const std::wstring& arguments, const std::wstring& workingDirectory = std::wstring());

// Waits for a visible top-level window of the process with the given class (any when
// empty) and caption (any when empty). Returns none on time-out.
HWND WaitForWindow(DWORD processId, const std::wstring& className, const std::wstring& caption, DWORD timeoutMs = 20000);
// The visible top-level windows of a process right now.
std::vector<HWND> TopLevelWindows(DWORD processId);

// A message box: its caption and text (the static control 0xFFFF).
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};
// Waits for a message box (dialog class #32770 with a text) of the process.
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs = 20000);
// The same for boxes with a caption: the program's own messages, never the captionless
// "Calculating..." dialog.
MessageBoxInfo WaitForCaptionedBox(DWORD processId, DWORD timeoutMs = 60000);
// Presses a button of a dialog or message box (IDOK, IDYES, IDNO ...) by posting its command.
void PressDialogButton(HWND dialog, int buttonId);
// Clicks a button-class control of a window by id, posted so that a modal box it opens
// cannot block the caller.
void ClickControl(HWND window, int controlId);
// Sends a menu command to a window.
void PostMenuCommand(HWND window, int commandId);

std::wstring WindowText(HWND window);
// The text of a cell of a list-view control in another process (an owner-data list included).
std::wstring ListViewItemText(DWORD processId, HWND list, int row, int column);

// Keys as the keyboard gives them, to whichever window has the keyboard focus: the first window
// is brought to the foreground first. PressKey holds the modifiers (VK_CONTROL ...) around key.
void PressKey(HWND foreground, WORD key, std::initializer_list<WORD> modifiers = {});
void TypeText(HWND foreground, const std::wstring& text);
std::wstring WindowClassName(HWND window);

// Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
DWORD WaitForExit(const ChildProgram& program, DWORD timeoutMs = 30000);
// Ends a process the test started, when a test failed before it could close it.
void KillIfRunning(const ChildProgram& program);


// Nomaro in GUI mode, started in the given StartDirectory, for the length of a test: its main
// window is closed (and the process ended if it will not go) when the test is over.
class RunningNomaro {
public:
    explicit RunningNomaro(const std::wstring& startDirectory);
    ~RunningNomaro();
    RunningNomaro(const RunningNomaro&) = delete;
    RunningNomaro& operator=(const RunningNomaro&) = delete;

    HWND main() const { return main_; }
    DWORD processId() const { return program_.processId; }
    const ChildProgram& program() const { return program_; }

private:
    ChildProgram program_;
    HWND main_ = nullptr;
};
