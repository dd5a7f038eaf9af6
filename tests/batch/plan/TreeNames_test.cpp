// The names of a walked tree: kept once each, reached by number, spelt into paths.
#include "TreeNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TreeNames, NamesStayWhereTheyAreWhileBlocksFillAndAfterACopy)
{
    NamePool pool;
    std::vector<NamePool::NameId> ids;
    std::vector<std::wstring> names;
    // Enough names to fill several blocks, the longest a name can be among them.
    for (int i = 0; i < 40000; ++i) {
        names.push_back(i % 1000 == 7 ? std::wstring(NamePool::kMaxNameUnits, L'x') : L"name " + std::to_wstring(i));
        ids.push_back(pool.Add(names.back()));
    }
    ids.push_back(pool.Add(L""));
    names.push_back(L"");
    std::wstring_view first = pool.Get(ids[0]);
    NamePool copy = pool;
    for (size_t i = 0; i < ids.size(); ++i) {
        ASSERT_EQ(pool.Get(ids[i]), names[i]) << i;
        ASSERT_EQ(copy.Get(ids[i]), names[i]) << i;
    }
    EXPECT_EQ(first.data(), pool.Get(ids[0]).data());
    EXPECT_THROW(pool.Add(std::wstring(NamePool::kMaxNameUnits + 1, L'x')), std::length_error);

    // Cleared, the pool fills its room again from the start.
    pool.Clear();
    EXPECT_EQ(pool.Add(L"again"), ids[0]);
    EXPECT_EQ(pool.Get(ids[0]), L"again");
    EXPECT_EQ(copy.Get(ids[0]), names[0]);
}

TEST(TreeNames, FoldersSpellTheirPathsBelowTheChosenFolder)
{
    TreeNames tree;
    std::int32_t sub = tree.AddFolder(0, L"Sub");
    std::int32_t deeper = tree.AddFolder(sub, L"Deeper \x00e9");
    std::int32_t other = tree.AddFolder(0, L"Other");
    EXPECT_EQ(tree.FolderCount(), 4u);
    EXPECT_EQ(tree.ParentOf(deeper), sub);
    EXPECT_EQ(tree.FolderName(other), L"Other");

    std::wstring path = L"\\\\?\\C:\\Root";
    tree.AppendFolderPath(deeper, path);
    EXPECT_EQ(path, L"\\\\?\\C:\\Root\\Sub\\Deeper \x00e9");
    EXPECT_EQ(tree.FolderPathLength(deeper), std::wstring(L"\\Sub\\Deeper \x00e9").size());

    std::wstring display = L"left over";
    tree.SpellDisplayPath(deeper, tree.Name(tree.AddName(L"x.txt")), display);
    EXPECT_EQ(display, L".\\Sub\\Deeper \x00e9\\x.txt");
    tree.SpellDisplayPath(0, L"top.txt", display);
    EXPECT_EQ(display, L".\\top.txt");
    tree.AppendFolderPath(0, display);
    EXPECT_EQ(display, L".\\top.txt");
}
