// A folder's entries come each once, with what its listing says of them, however many calls
// they take, and a drive's root is read as its root folder.
#include "FolderReader.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

TEST(FolderReader, EveryEntryOnceWithItsListedAttributesSizeAndTime)
{
    TempFolder root;
    std::vector<std::wstring> expected;
    // Long names: far more than one call's worth.
    for (int i = 0; i < 400; ++i) {
        expected.push_back(std::wstring(80, L'n') + std::to_wstring(i) + L".jpg");
        root.WriteFile(expected.back());
    }
    root.WriteFile(L"five.txt", "12345");
    root.MakeFolder(L"Sub");
    // A name no plain path can give, reached by its exact name.
    ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + (root / L"dot."), "x"));
    expected.insert(expected.end(), {L"five.txt", L"Sub", L"dot."});
    std::sort(expected.begin(), expected.end());

    WIN32_FILE_ATTRIBUTE_DATA five{};
    ASSERT_TRUE(GetFileAttributesExW((root / L"five.txt").c_str(), GetFileExInfoStandard, &five));
    std::vector<std::wstring> names;
    FolderReader reader(L"\\\\?\\" + root.path());
    while (reader.Next()) {
        names.emplace_back(reader.Name());
        EXPECT_EQ(reader.Name() == L"Sub", (reader.Attributes() & FILE_ATTRIBUTE_DIRECTORY) != 0) << names.back();
        if (reader.Name() == L"five.txt") {
            EXPECT_EQ(reader.Size(), 5u);
            FILETIME lastWrite = reader.LastWrite();
            EXPECT_EQ(CompareFileTime(&five.ftLastWriteTime, &lastWrite), 0);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    RemoveTree(L"\\\\?\\" + root.path());
}

TEST(FolderReader, DriveReadsItsRootFolderAndAMissingFolderNothing)
{
    wchar_t windows[MAX_PATH] = L"";
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 3u);
    std::wstring drive(windows, 2);                    // "C:"
    std::wstring firstFolder = std::wstring(windows + 3); // "windows", or "Windows"
    firstFolder = firstFolder.substr(0, firstFolder.find(L'\\'));
    auto folded = [](std::wstring text) {
        std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
        return text;
    };
    bool found = false;
    FolderReader reader(L"\\\\?\\" + drive);
    while (reader.Next())
        found = found || folded(std::wstring(reader.Name())) == folded(firstFolder);
    EXPECT_TRUE(found) << "no " << Narrow(firstFolder) << " in " << Narrow(drive);

    TempFolder root;
    FolderReader missing(root / L"missing");
    EXPECT_FALSE(missing.Next());
}
