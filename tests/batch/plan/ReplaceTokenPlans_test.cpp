// Tokens in Find and Replace plans over real files: values read from photos and music once per
// tree and only when a token or the order needs them, entries lacking a value kept, the counter
// counting in the order asked for, and that order over the whole tree.
#include "HandPlan.h"
#include "ReplacePlanner.h"
#include "SampleMedia.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// The planner over a real folder, with its reading counted.
class TokenPlans : public testing::Test {
protected:
    TempFolder folder;

    void Walk()
    {
        RunOptions options;
        options.mode = ModeFindReplace;
        CollectedTree tree = CollectEntries(L"\\\\?\\" + folder.path(), options, nullptr, {});
        planner.SetTree(std::make_shared<const RunPlan>(std::move(tree.plan)));
    }

    ReplacePlanner::Result Plan(const std::wstring& search, const std::wstring& replacement, ReplaceOrdering ordering = {},
                                bool regex = false, bool modifiedForTaken = false, bool folders = false)
    {
        ReplaceRule rule;
        rule.search = search;
        rule.replacement = replacement;
        rule.regex = regex;
        rule.modifiedForTaken = modifiedForTaken;
        ReplaceSelection selection;
        selection.folders = folders;
        int seen = Ready();
        planner.Request(rule, selection, ordering);
        std::unique_lock<std::mutex> lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, 20s, [&] { return ready > seen; }));
        lock.unlock();
        std::optional<ReplacePlanner::Result> result = planner.TakeResult();
        return result ? std::move(*result) : ReplacePlanner::Result();
    }

    int Ready()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return ready;
    }

    // "name now -> name after", or "name now: what happens" for one that does not change, in the list's order.
    static std::vector<std::wstring> Rows(const ReplacePlanner::Result& result)
    {
        std::vector<std::wstring> rows;
        for (std::uint32_t i : result.order) {
            const PlannedEntry& entry = result.plan->entries[i];
            std::wstring row = std::wstring(result.plan->Name(entry));
            if (entry.status == PlanStatus::WillChange)
                row += L" -> " + result.plan->NewNameOf(entry);
            if (entry.status != PlanStatus::WillChange || entry.reason != PlanReason::None)
                row += L": " + DescribePlannedEntry(*result.plan, entry);
            rows.push_back(row);
        }
        return rows;
    }

    std::mutex mutex;
    std::condition_variable changed;
    int ready = 0;
    std::vector<std::pair<size_t, size_t>> reads; // what the reading told, in turn
    ReplacePlanner planner{[this] {
                               std::lock_guard<std::mutex> lock(mutex);
                               ++ready;
                               changed.notify_all();
                           },
                           [this](size_t done, size_t total) { reads.emplace_back(done, total); }};
};

} // namespace

TEST_F(TokenPlans, PhotosAreNamedByWhatTheyHoldAndThoseLackingAValueKeepTheirNames)
{
    folder.WriteFile(L"IMG_4711.JPG", Photo("2026:07:14 09:31:05", "Canon EOS R6"));
    folder.WriteFile(L"IMG_4712.JPG", Photo("2026:07:14 10:02:00", "EOS R$1"));
    folder.WriteFile(L"scan.jpg", Photo("", "CanoScan"));
    folder.WriteFile(L"notes.txt", "not a photo");
    Walk();
    // Nothing read for a replacement that needs no file's values.
    EXPECT_EQ(Rows(Plan(L"", L"{name}-{ext}")),
              (std::vector<std::wstring>{L"IMG_4711.JPG -> IMG_4711-JPG.JPG", L"IMG_4712.JPG -> IMG_4712-JPG.JPG",
                                         L"notes.txt -> notes-txt.txt", L"scan.jpg -> scan-jpg.jpg"}));
    EXPECT_TRUE(reads.empty());

    ReplacePlanner::Result result = Plan(L"", L"{taken:yyyy-MM-dd HH.mm.ss.fff} {camera}");
    EXPECT_EQ(Rows(result), (std::vector<std::wstring>{L"IMG_4711.JPG -> 2026-07-14 09.31.05.250 Canon EOS R6.JPG",
                                                       L"IMG_4712.JPG -> 2026-07-14 10.02.00.250 EOS R$1.JPG",
                                                       L"notes.txt: Cannot change (no date taken)",
                                                       L"scan.jpg: Cannot change (no date taken)"}));
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back(), std::make_pair(size_t{4}, size_t{4}));

    // Read once for the tree; the expression's $1 and the tokens combine, a value's $ stays as it is.
    reads.clear();
    EXPECT_EQ(Rows(Plan(L"IMG_(\\d+)", L"{camera} $1 {width}x{height}", {}, true))[1], L"IMG_4712.JPG -> EOS R$1 4712 640x480.JPG");
    EXPECT_TRUE(reads.empty());

    // With the fallback, the modified date stands in, and the list says so.
    std::vector<std::wstring> rows = Rows(Plan(L"", L"{taken:yyyy} {name}", {}, false, true));
    EXPECT_EQ(rows[0], L"IMG_4711.JPG -> 2026 IMG_4711.JPG");
    SYSTEMTIME now{};
    GetLocalTime(&now); // the file was written just now
    std::wstring year = std::to_wstring(now.wYear);
    EXPECT_EQ(rows[3].substr(0, 26), L"scan.jpg -> " + year + L" scan.jpg:") << Narrow(rows[3]);
    EXPECT_NE(rows[3].find(L"Renamed (no date taken: its modified date used)"), std::wstring::npos) << Narrow(rows[3]);

    // A token that cannot be read: said under the replacement, no plan at all.
    for (const wchar_t* bad : {L"{takn}", L"{n:x}", L"a}"}) {
        result = Plan(L"", bad);
        EXPECT_FALSE(result.replacementError.empty()) << Narrow(bad);
        EXPECT_TRUE(result.error.empty());
        EXPECT_TRUE(result.plan->entries.empty());
    }

    // A new walk of the tree (F5) reads again: what a file holds now is what it gets.
    folder.WriteFile(L"IMG_4711.JPG", Photo("2025:01:02 03:04:05", "Canon EOS R6"));
    Walk();
    reads.clear();
    EXPECT_EQ(Rows(Plan(L"", L"{taken:yyyy}"))[0], L"IMG_4711.JPG -> 2025.JPG");
    EXPECT_FALSE(reads.empty());
}

TEST_F(TokenPlans, TheCounterCountsInTheOrderAskedForAndTheListShowsIt)
{
    // Named against the order they were taken in.
    folder.WriteFile(L"Trip\\IMG 10.jpg", Photo("2026:07:14 08:00:00", "R6"));
    folder.WriteFile(L"Trip\\IMG 2.jpg", Photo("2026:07:15 08:00:00", "R6"));
    folder.WriteFile(L"Trip\\IMG 3.jpg", Photo("2026:07:13 08:00:00", "R6"));
    folder.WriteFile(L"Home\\b.jpg", Photo("2026:07:16 08:00:00", "R6"));
    folder.WriteFile(L"Home\\a.jpg", Photo("", "R6"));
    Walk();
    EXPECT_EQ(Rows(Plan(L"", L"{folder} {n:01}")),
              (std::vector<std::wstring>{L"a.jpg -> Home 01.jpg", L"b.jpg -> Home 02.jpg", L"IMG 2.jpg -> Trip 03.jpg",
                                         L"IMG 3.jpg -> Trip 04.jpg", L"IMG 10.jpg -> Trip 05.jpg"}));
    ReplaceOrdering byDate{ReplaceOrder::DateTaken, false, false};
    EXPECT_EQ(Rows(Plan(L"", L"Trip {n:001}", byDate)),
              (std::vector<std::wstring>{L"IMG 3.jpg -> Trip 001.jpg", L"IMG 10.jpg -> Trip 002.jpg",
                                         L"IMG 2.jpg -> Trip 003.jpg", L"b.jpg -> Trip 004.jpg", L"a.jpg -> Trip 005.jpg"}));
    byDate.descending = true;
    byDate.restartPerFolder = true;
    EXPECT_EQ(Rows(Plan(L"", L"{n:10,10}", byDate)),
              (std::vector<std::wstring>{L"b.jpg -> 10.jpg", L"IMG 2.jpg -> 10.jpg", L"IMG 10.jpg -> 20.jpg",
                                         L"IMG 3.jpg -> 30.jpg", L"a.jpg -> 20.jpg"}));
    // Only the entries given a name take a number: none for those the search passes over or that lack a value.
    EXPECT_EQ(Rows(Plan(L"IMG", L"{n:01}")),
              (std::vector<std::wstring>{L"a.jpg: Already right", L"b.jpg: Already right", L"IMG 2.jpg -> 01 2.jpg",
                                         L"IMG 3.jpg -> 02 3.jpg", L"IMG 10.jpg -> 03 10.jpg"}));
    EXPECT_EQ(Rows(Plan(L"", L"{taken:dd} {n:01}", {ReplaceOrder::Name, false, true})),
              (std::vector<std::wstring>{L"a.jpg: Cannot change (no date taken)", L"b.jpg -> 16 01.jpg",
                                         L"IMG 2.jpg -> 15 01.jpg", L"IMG 3.jpg -> 13 02.jpg", L"IMG 10.jpg -> 14 03.jpg"}));
    ReplaceOrdering bySize{ReplaceOrder::Size, true, false};
    folder.WriteFile(L"Home\\a.jpg", Photo("", "R6") + std::string(1000, '\0'));
    Walk();
    EXPECT_EQ(Rows(Plan(L"", L"{n}", bySize))[0], L"a.jpg -> 1.jpg");
    // Folders have no size: they come last, not first as if they were empty.
    bySize.descending = false;
    std::vector<std::wstring> rows = Rows(Plan(L"", L"{n}", bySize, false, false, true));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[5], L"Home -> 6");
    EXPECT_EQ(rows[6], L"Trip -> 7");
}

TEST_F(TokenPlans, TheModifiedDateStandsInForAPhotosDateTakenAloneAndPlacesItInThatOrder)
{
    folder.WriteFile(L"Trip\\IMG_1.jpg", Photo("2026:07:14 09:31:05", "R6"));
    folder.WriteFile(L"Trip\\scan.jpg", Photo("", "CanoScan"));
    folder.WriteFile(L"notes.txt", "not a photo");
    folder.WriteFile(L"song.mp3", Song(L"Abba", L"Waterloo", "1"));
    // Modified at noon UTC the day before the other was taken: that day wherever the user is.
    SYSTEMTIME noon{2026, 7, 0, 13, 12, 0, 0, 0};
    FILETIME modified{};
    ASSERT_TRUE(SystemTimeToFileTime(&noon, &modified));
    UniqueFile scan(CreateFileW((folder / L"Trip\\scan.jpg").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                      0, nullptr));
    ASSERT_TRUE(scan && SetFileTime(scan.get(), nullptr, nullptr, &modified));
    scan.reset();
    Walk();
    // A folder, a text and a song are no photos: they keep their names. The photo's modified date
    // places it among the dates taken, as its name shows it.
    EXPECT_EQ(Rows(Plan(L"", L"{taken:yyyy-MM-dd} {n:1}", {ReplaceOrder::DateTaken, false, false}, false, true, true)),
              (std::vector<std::wstring>{L"scan.jpg -> 2026-07-13 1.jpg: Renamed (no date taken: its modified date used)",
                                         L"IMG_1.jpg -> 2026-07-14 2.jpg", L"notes.txt: Cannot change (no date taken)",
                                         L"song.mp3: Cannot change (no date taken)", L"Trip: Cannot change (no date taken)"}));
}

TEST_F(TokenPlans, FoldersHaveTheirFileSystemDatesButNoPhotoValues)
{
    folder.WriteFile(L"Trip\\a.txt", "a");
    Walk();
    SYSTEMTIME now{};
    GetLocalTime(&now); // both were made just now
    std::wstring year = std::to_wstring(now.wYear);
    EXPECT_EQ(Rows(Plan(L"", L"{created:yyyy} {modified:yyyy} {name}", {}, false,
                        false, true)),
              (std::vector<std::wstring>{L"Trip -> " + year + L" " + year + L" Trip",
                                         L"a.txt -> " + year + L" " + year + L" a.txt"}));
    EXPECT_EQ(Rows(Plan(L"", L"{make}", {}, false, false, true))[0], L"Trip: Cannot change (no camera make)");
}

TEST_F(TokenPlans, MusicIsNamedByItsTagsAndOrderedByAlbumDiscAndTrack)
{
    folder.WriteFile(L"track03.mp3", Song(L"\u00c4d\u00e8le", L"Song Title", "3/12", L"Album B", "1"));
    folder.WriteFile(L"track01.mp3", Song(L"AC/DC", L"Thunder", "1", L"Album B", "2"));
    folder.WriteFile(L"track02.mp3", Song(L"", L"Untitled", "2", L"Album A"));
    // An album of blanks is none: the song comes last, with those that have no album.
    folder.WriteFile(L"track00.mp3", Song(L"Abba", L"Blank", "1", L"   "));
    Walk();
    EXPECT_EQ(Rows(Plan(L"", L"{track:00} - {artist} - {title}", {ReplaceOrder::AlbumOrder, false, false})),
              (std::vector<std::wstring>{L"track02.mp3: Cannot change (no artist)",
                                         L"track03.mp3 -> 03 - \u00c4d\u00e8le - Song Title.mp3",
                                         L"track01.mp3 -> 01 - AC_DC - Thunder.mp3", L"track00.mp3 -> 01 - Abba - Blank.mp3"}));
}

TEST(NameOrder, FoldersAndNamesAsExplorerOrdersThemWithOrWithoutTheFoldersInThePlan)
{
    // As numbering plans them: files only, each with its walk's folder number, in walk order.
    RunPlan files;
    const std::pair<std::int32_t, const wchar_t*> numbered[] = {
        {1, L".\\Folder 10\\b.jpg"}, {1, L".\\Folder 10\\a.jpg"}, {2, L".\\Folder 2\\IMG 10.jpg"},
        {2, L".\\Folder 2\\IMG 2.jpg"}, {0, L".\\z.jpg"}, {3, L".\\Folder 2\\Sub\\x.jpg"}};
    for (const auto& [folder, path] : numbered) {
        PlannedEntry& entry = AddPlannedEntry(files, path);
        EXPECT_EQ(entry.folder, folder) << Narrow(path);
    }
    std::vector<std::wstring> paths;
    for (std::uint32_t i : NameOrder(files))
        paths.push_back(files.Path(files.entries[i]));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L".\\Folder 2\\IMG 2.jpg", L".\\Folder 2\\IMG 10.jpg",
                                                L".\\Folder 2\\Sub\\x.jpg", L".\\Folder 10\\a.jpg",
                                                L".\\Folder 10\\b.jpg", L".\\z.jpg"}));

    // As the case modes plan them: the folders too, each before its contents.
    RunPlan tree;
    const std::pair<std::int32_t, const wchar_t*> walked[] = {
        {-1, L".\\Folder 10"}, {0, L".\\Folder 10\\a.jpg"}, {-1, L".\\Folder 2"}, {2, L".\\Folder 2\\b.jpg"}, {-1, L".\\a.jpg"}};
    for (const auto& [parent, path] : walked)
        AddPlannedEntry(tree, path).parent = parent;
    paths.clear();
    for (std::uint32_t i : NameOrder(tree))
        paths.push_back(tree.Path(tree.entries[i]));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L".\\a.jpg", L".\\Folder 2", L".\\Folder 2\\b.jpg", L".\\Folder 10",
                                                L".\\Folder 10\\a.jpg"}));
}
