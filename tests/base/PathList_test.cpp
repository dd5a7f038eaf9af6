// The path list keeps order and duplicates and compares with ASCII-only folding.
#include "PathList.h"

#include <gtest/gtest.h>

TEST(PathList, AppendLinksInOrderAndLeavesTheCursorAtNone)
{
    PathList list;
    PathEntry* first = Append(list, L".\\a", 0);
    list.cursor = first;
    std::wstring index = L"C:\\idx";
    PathEntry* second = Append(list, L".\\b", 7, &index);
    EXPECT_EQ(list.head, first);
    EXPECT_EQ(list.tail, second);
    EXPECT_EQ(list.cursor, nullptr);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(second->prev, first);
    EXPECT_EQ(first->secondPath, nullptr);
    ASSERT_NE(second->secondPath, nullptr);
    EXPECT_EQ(*second->secondPath, L"C:\\idx");
    EXPECT_EQ(second->count, 7);
}

TEST(PathList, ContainsFoldsOnlyAsciiLetters)
{
    PathList list;
    Append(list, L".\\photo.jpg");
    Append(list, L".\\\u00e9t\u00e9.txt");
    EXPECT_TRUE(Contains(&list, L".\\PHOTO.JPG"));
    EXPECT_FALSE(Contains(&list, L".\\PHOTO.JPG "));
    EXPECT_FALSE(Contains(&list, L".\\\u00c9T\u00c9.txt"));
    EXPECT_TRUE(Contains(&list, L".\\\u00e9T\u00e9.TXT"));
    EXPECT_FALSE(Contains(nullptr, L".\\photo.jpg"));
}

TEST(PathList, DuplicatesAreKeptAndContainsStopsAtTheFirst)
{
    PathList list;
    PathEntry* first = Append(list, L".\\same");
    Append(list, L".\\SAME");
    EXPECT_EQ(EntryCount(list), 2u);
    EXPECT_TRUE(Contains(&list, L".\\Same"));
    EXPECT_EQ(list.cursor, first);
    // Entries appended after the index was built are found too.
    PathEntry* later = Append(list, L".\\later");
    EXPECT_TRUE(Contains(&list, L".\\LATER"));
    EXPECT_EQ(list.cursor, later);
    EXPECT_FALSE(Contains(&list, L".\\none"));
    EXPECT_EQ(list.cursor, nullptr);
}

TEST(PathList, FindByPrefixReturnsTheFirstEntryThatBeginsWithTheText)
{
    PathList list;
    PathEntry* rock = Append(list, L"C:\\Music\\Rock");
    PathEntry* music = Append(list, L"C:\\Music");
    EXPECT_EQ(FindByPrefix(&list, L"c:\\music"), rock);
    EXPECT_EQ(FindByPrefix(&list, L"C:\\Music\\Rock\\"), nullptr);
    EXPECT_EQ(FindByPrefix(&list, L""), rock);
    EXPECT_EQ(FindExact(&list, L"c:\\MUSIC"), music);
    EXPECT_EQ(FindByPrefix(nullptr, L"C:"), nullptr);
}

TEST(PathList, ReleaseEmptiesTheListWhateverItsSize)
{
    PathList list;
    for (int i = 0; i < 200000; ++i)
        Append(list, L".\\f" + std::to_wstring(i));
    Release(list);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(EntryCount(list), 0u);
    Release(list);
}
