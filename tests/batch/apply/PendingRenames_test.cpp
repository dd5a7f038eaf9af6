// The system's list of renames for the next restart: only this program's own pair is taken out,
// every other byte stays.
#include "PendingRenames.h"

#include <gtest/gtest.h>

namespace {

// The list's bytes for its strings, each ending in a null, and the null that ends the list.
std::string List(std::initializer_list<std::wstring> strings, bool closed = true)
{
    std::wstring units;
    for (const std::wstring& text : strings)
        units += text + L'\0';
    if (closed)
        units += L'\0';
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(wchar_t));
}

const std::wstring kFrom = L"\\??\\C:\\Photos\\Busy.jpg";
const std::wstring kTo = L"\\??\\C:\\Photos\\P0.jpg";
const std::wstring kOther = L"\\??\\C:\\Program Files\\Tool\\tool.dll";
const std::wstring kOtherNew = L"\\??\\C:\\Program Files\\Tool\\tool.old";

} // namespace

TEST(PendingRenames, PathsTakeTheFormTheSystemStores)
{
    EXPECT_EQ(PendingRenamePath(L"\\\\?\\C:\\Photos\\Busy.jpg"), kFrom);
    EXPECT_EQ(PendingRenamePath(L"\\\\?\\UNC\\server\\share\\a.txt"), L"\\??\\UNC\\server\\share\\a.txt");
    EXPECT_EQ(PendingRenamePath(L"C:\\Photos\\Busy.jpg"), L"");
}

TEST(PendingRenames, OnlyOurOwnPairIsRemoved)
{
    struct Case {
        const char* what;
        std::string before;
        std::string after;
        size_t removed;
    };
    const Case cases[] = {
        {"ours alone", List({kFrom, kTo}), List({}), 1},
        {"ours first", List({kFrom, kTo, kOther, kOtherNew}), List({kOther, kOtherNew}), 1},
        {"ours in the middle", List({kOther, kOtherNew, kFrom, kTo, kOther, L""}), List({kOther, kOtherNew, kOther, L""}), 1},
        {"ours last, after a delete", List({kOther, L"", kFrom, kTo}), List({kOther, L""}), 1},
        {"ours twice", List({kFrom, kTo, kOther, kOtherNew, kFrom, kTo}), List({kOther, kOtherNew}), 1 + 1},
        {"list without its closing null", List({kOther, kOtherNew, kFrom, kTo}, false), List({kOther, kOtherNew}, false), 1},
        {"destination in another case", List({kFrom, L"\\??\\C:\\Photos\\p0.jpg"}), List({kFrom, L"\\??\\C:\\Photos\\p0.jpg"}), 0},
        {"source in another case", List({L"\\??\\C:\\PHOTOS\\Busy.jpg", kTo}), List({L"\\??\\C:\\PHOTOS\\Busy.jpg", kTo}), 0},
        {"replacing rename", List({kFrom, L"!" + kTo}), List({kFrom, L"!" + kTo}), 0},
        {"our source deleted", List({kFrom, L""}), List({kFrom, L""}), 0},
        {"our names the other way round", List({kTo, kFrom}), List({kTo, kFrom}), 0},
        {"odd length", List({kFrom, kTo}) + "x", List({kFrom, kTo}) + "x", 0},
        {"destination without its null", List({kOther, kOtherNew, kFrom}, false) + std::string("P\0", 2),
         List({kOther, kOtherNew, kFrom}, false) + std::string("P\0", 2), 0},
        {"empty", std::string(), std::string(), 0},
    };
    for (const Case& c : cases) {
        std::string value = c.before;
        EXPECT_EQ(RemovePendingRename(value, kFrom, kTo), c.removed) << c.what;
        EXPECT_EQ(value, c.after) << c.what;
    }
}
