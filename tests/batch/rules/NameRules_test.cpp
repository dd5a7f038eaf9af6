// Names compare and hash alike under the case folding of the file system, ASCII or not, and group by folder.
#include "NameRules.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

TEST(NameRules, FoldedComparisonAndHashAgreeWithTheFoldedNames)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
    } cases[] = {
        {L"Photo_1.JPG", L"photo_1.jpg"},
        {L"photo_1.jpg", L"photo_2.jpg"},
        {L"[a]", L"{A}"}, // ASCII neighbours of the letters do not fold
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9"},
        {L"p\u0131x", L"PIX"}, // a dotless i folds as the platform folds it
        {L"pix", L"p\u0131x"},
        {L"\u017fun", L"SUN"},
    };
    for (const Case& c : cases) {
        bool equal = FoldedName(c.a) == FoldedName(c.b);
        EXPECT_EQ(EqualsFolded(c.a, c.b), equal) << Narrow(c.a) << " / " << Narrow(c.b);
        if (equal) {
            EXPECT_EQ(FoldedNameHash(c.a), FoldedNameHash(c.b)) << Narrow(c.a);
        }
    }
    EXPECT_TRUE(EqualsFolded(L"Photo_1.JPG", L"photo_1.jpg"));
    EXPECT_FALSE(EqualsFolded(L"[a]", L"{A}"));
    EXPECT_TRUE(EqualsFolded(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
}

TEST(NameRules, GroupingByFolderKeepsEachFolderInItsOrder)
{
    // Dense walk numbers, numbers far apart and a negative one: each grouping is a stable sort by folder.
    std::mt19937 random(7);
    for (std::int32_t spread : {1, 1000000}) {
        for (bool negative : {false, true}) {
            std::vector<std::int32_t> folders(300);
            for (std::int32_t& folder : folders)
                folder = static_cast<std::int32_t>(random() % 37) * spread;
            if (negative)
                folders[150] = -1;
            auto folderOf = [&](std::int32_t i) { return folders[static_cast<size_t>(i)]; };
            std::vector<std::int32_t> expected(folders.size());
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(),
                             [&](std::int32_t a, std::int32_t b) { return folderOf(a) < folderOf(b); });
            EXPECT_EQ(GroupedByFolder(folders.size(), folderOf), expected) << spread << " " << negative;
        }
    }
    EXPECT_TRUE(GroupedByFolder(0, [](std::int32_t) { return 0; }).empty());
}
