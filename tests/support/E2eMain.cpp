// The main of the end-to-end tests: takes the path of Nomaro.exe from the command line, and puts
// back the registry keys the real program uses, as they were before the run.
#include "DesktopDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";
constexpr wchar_t kFavoritesOrderKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";
constexpr wchar_t kFavoritesOrderValue[] = L"Order";
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    SetNomaroExePathFromArguments(argc, argv);
    // Nomaro.exe is another process and cannot be given a scratch registry: the tests change its
    // settings and the Favorites order in the real HKEY_CURRENT_USER, and these put them back.
    SavedRegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
    SavedRegistryValue favoritesOrder(HKEY_CURRENT_USER, kFavoritesOrderKey, kFavoritesOrderValue);
    if (!settings.saved() || !favoritesOrder.saved()) {
        std::fprintf(stderr, "the settings and the Favorites order could not be saved; no test runs\n");
        return 1;
    }
    // The program keeps its undo journals in the user's local application data, where a run would
    // push out the user's own oldest: the tests' runs keep theirs in a folder of their own.
    TempFolder localAppData;
    RedirectedShellFolder journals(L"Local AppData", localAppData.path());
    if (!journals.made()) {
        std::fprintf(stderr, "the local application data could not be pointed at a test folder; no test runs\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
