// The bytes of the history and index files, and readers that stop safely at bad bytes.
#include "HistoryFormat.h"
#include "RecordBytes.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::wstring> Paths(const PathList& list)
{
    std::vector<std::wstring> paths;
    for (PathEntry* entry = list.head; entry; entry = entry->next)
        paths.push_back(entry->path);
    return paths;
}
} // namespace

TEST(HistoryFormat, RecordsAreCountFolderAndIndexLittleEndian)
{
    std::string bytes = HistoryRecordBytes(5, L"D:\\Photos", L"C:\\Tools\\20121105093007.idx") +
                        HistoryRecordBytes(0x01020304, L"E:\\\u00c9t\u00e9", L"C:\\Tools\\20130101000000.idx") +
                        HistoryRecordBytes(0, L"", L"");
    // The first bytes spelled out: count 5, then 9 units of D:\Photos.
    EXPECT_EQ(bytes.substr(0, 10), std::string("\x05\0\0\0\x09\0\0\0D\0", 10));

    PathList store;
    EXPECT_TRUE(ReadHistoryRecords(bytes, store));
    ASSERT_EQ(EntryCount(store), 3u);
    EXPECT_EQ(store.head->path, L"D:\\Photos");
    EXPECT_EQ(store.head->count, 5);
    ASSERT_NE(store.head->secondPath, nullptr);
    EXPECT_EQ(*store.head->secondPath, L"C:\\Tools\\20121105093007.idx");
    EXPECT_EQ(store.head->next->path, L"E:\\\u00c9t\u00e9");
    EXPECT_EQ(store.head->next->count, 0x01020304);
    EXPECT_EQ(store.tail->path, L"");
    EXPECT_EQ(EncodeHistory(store), bytes);
}

TEST(HistoryFormat, ABigIndexIsHandedOnInPiecesAndStopsWhereTheSinkRefuses)
{
    PathList numbered;
    for (int i = 0; i < 3000; ++i)
        Append(numbered, L".\\Holiday in the mountains\\Trip" + std::to_wstring(100000 + i) + L".jpg");
    std::int32_t written = 0;
    std::string whole = EncodeIndex(nullptr, numbered, written);
    ASSERT_GT(whole.size(), 2 * 64 * 1024u);

    std::vector<std::string> pieces;
    EXPECT_TRUE(EncodeIndex(nullptr, PathsOf(numbered), written, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    }));
    EXPECT_EQ(written, 3000);
    EXPECT_GE(pieces.size(), 3u);
    std::string joined;
    for (const std::string& piece : pieces)
        joined += piece;
    EXPECT_EQ(joined, whole);

    int offered = 0;
    EXPECT_FALSE(EncodeIndex(nullptr, PathsOf(numbered), written, [&](std::string_view) { return ++offered > 1; }));
    EXPECT_EQ(offered, 1); // nothing more is offered once a piece is refused
}

TEST(HistoryFormat, IndexEntriesAreLengthAndUnits)
{
    PathList exclusions;
    Append(exclusions, L".\\Trip000000.jpg");
    Append(exclusions, L".\\2012\\Trip000001.jpg");
    PathList numbered;
    Append(numbered, L".\\Trip000002.PNG");
    std::int32_t written = -1;
    std::string bytes = EncodeIndex(&exclusions, numbered, written);
    EXPECT_EQ(written, 3);
    EXPECT_EQ(bytes, StringBytes(L".\\Trip000000.jpg") + StringBytes(L".\\2012\\Trip000001.jpg") +
                         StringBytes(L".\\Trip000002.PNG"));
    EXPECT_EQ(EncodeIndex(nullptr, numbered, written), StringBytes(L".\\Trip000002.PNG"));
    EXPECT_EQ(written, 1);
    PathList empty;
    EXPECT_EQ(EncodeIndex(nullptr, empty, written), "");
    EXPECT_EQ(written, 0);

    PathList read;
    EXPECT_TRUE(ReadIndexEntries(bytes, read));
    EXPECT_EQ(Paths(read), (std::vector<std::wstring>{L".\\Trip000000.jpg", L".\\2012\\Trip000001.jpg",
                                                      L".\\Trip000002.PNG"}));
}

TEST(HistoryFormat, RecordCutShortEndsTheReadingKeepingWhatCameBefore)
{
    std::string whole = HistoryRecordBytes(1, L"A", L"C:\\1.idx") + HistoryRecordBytes(2, L"B", L"C:\\2.idx");
    size_t firstSize = HistoryRecordBytes(1, L"A", L"C:\\1.idx").size();
    // Every cut inside the second record keeps the first only.
    for (size_t cut = firstSize + 1; cut < whole.size(); ++cut) {
        PathList store;
        EXPECT_FALSE(ReadHistoryRecords(std::string_view(whole.data(), cut), store)) << cut;
        ASSERT_EQ(EntryCount(store), 1u) << cut;
        EXPECT_EQ(store.head->path, L"A");
    }
    PathList store;
    EXPECT_TRUE(ReadHistoryRecords(std::string_view(whole.data(), firstSize), store));
    EXPECT_EQ(EntryCount(store), 1u);

    std::string index = StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg");
    for (size_t cut = StringBytes(L".\\a.jpg").size() + 1; cut < index.size(); ++cut) {
        PathList list;
        EXPECT_FALSE(ReadIndexEntries(std::string_view(index.data(), cut), list)) << cut;
        EXPECT_EQ(Paths(list), (std::vector<std::wstring>{L".\\a.jpg"})) << cut;
    }
}

TEST(HistoryFormat, StringsLongerThan1023UnitsEndTheReading)
{
    std::wstring longest(1023, L'x');
    std::wstring tooLong(1024, L'y');
    PathList store;
    EXPECT_TRUE(ReadHistoryRecords(HistoryRecordBytes(3, longest, L"i"), store));
    ASSERT_EQ(EntryCount(store), 1u);
    EXPECT_EQ(store.head->path, longest);

    PathList cut;
    EXPECT_FALSE(ReadHistoryRecords(HistoryRecordBytes(1, L"A", L"i") + HistoryRecordBytes(2, L"B", tooLong) +
                                        HistoryRecordBytes(3, L"C", L"i"),
                                    cut));
    EXPECT_EQ(EntryCount(cut), 1u);

    // A length that claims far more than the file holds.
    PathList huge;
    EXPECT_FALSE(ReadHistoryRecords(Int32Bytes(1) + Int32Bytes(0xFFFFFFFFu) + "ab", huge));
    EXPECT_EQ(EntryCount(huge), 0u);
    PathList list;
    EXPECT_FALSE(ReadIndexEntries(StringBytes(L".\\ok") + StringBytes(tooLong), list));
    EXPECT_EQ(Paths(list), (std::vector<std::wstring>{L".\\ok"}));
    PathList fewBytes;
    EXPECT_FALSE(ReadIndexEntries(std::string("\x01\x00", 2), fewBytes));
    EXPECT_EQ(EntryCount(fewBytes), 0u);
}

TEST(HistoryFormat, WritersLeaveOutWhatNoReaderCouldReadBack)
{
    PathList store;
    std::wstring index = L"C:\\i.idx";
    Append(store, L"A", 1, &index);
    Append(store, std::wstring(1024, L'z'), 2, &index);
    Append(store, L"C", 3, &index);
    std::string bytes = EncodeHistory(store);
    EXPECT_EQ(bytes, HistoryRecordBytes(1, L"A", index) + HistoryRecordBytes(3, L"C", index));

    PathList numbered;
    Append(numbered, L".\\a");
    Append(numbered, L".\\" + std::wstring(1022, L'b'));
    std::int32_t written = 0;
    EXPECT_EQ(EncodeIndex(nullptr, numbered, written), StringBytes(L".\\a"));
    EXPECT_EQ(written, 1);
}
