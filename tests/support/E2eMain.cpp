// The main of the end-to-end tests: takes the path of Nomaro.exe from the command line, and puts
// back the registry keys the real program uses, as they were before the run.
#include "DesktopDriver.h"
#include "ScratchRegistry.h"

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
    return RUN_ALL_TESTS();
}
