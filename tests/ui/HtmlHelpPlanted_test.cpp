// The help launcher in a program that has a library named hhctrl.ocx beside it (planted by the
// build; loading it leaves a marker file) and no registered location for the control: help must
// come from the system folder. A program of its own, since a process that has loaded the control
// once would be handed that copy for the bare name too.
#include "HtmlHelp.h"
#include "HtmlHelpLoader.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "UniqueHandle.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

namespace {
// An empty classes root: the control is not registered at all.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CLASSES_ROOT, {}}});
constexpr UINT kHelpCloseAll = 0x12; // HH_CLOSE_ALL: a request that opens nothing
} // namespace

TEST(HtmlHelpPlanted, ALibraryBesideTheProgramIsNeverLoaded)
{
    std::wstring program = GetModuleFileNameString(nullptr);
    std::wstring planted = program.substr(0, program.find_last_of(L'\\')) + L"\\hhctrl.ocx";
    ASSERT_TRUE(PathExists(planted)) << "the build plants the library beside the program";
    ASSERT_EQ(GetModuleHandleW(L"hhctrl.ocx"), nullptr) << "the control must not be loaded yet";
    TempFolder scratch;
    std::wstring marker = scratch / L"planted-library-ran";
    ASSERT_TRUE(SetEnvironmentVariableW(L"NOMARO_PLANTED_MARKER", marker.c_str()));

    ResetHtmlHelpLauncher();
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Ready);
    EXPECT_FALSE(PathExists(marker)) << "the library beside the program was loaded";

    // Loaded on purpose, the planted library does leave its marker.
    UniqueModule loaded(LoadLibraryW(planted.c_str()));
    EXPECT_TRUE(PathExists(marker));
    SetEnvironmentVariableW(L"NOMARO_PLANTED_MARKER", nullptr);
}
