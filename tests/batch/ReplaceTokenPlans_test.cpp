// Tokens in Find and Replace plans over real files: values read from photos and music once per
// tree and only when a token or the order needs them, entries lacking a value kept, the counter
// counting in the order asked for, and that order over the whole tree.
#include "ReplacePlanner.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace {

using namespace std::chrono_literals;

std::string Le(std::uint32_t value, int width)
{
    std::string out;
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Be(std::uint32_t value, int width)
{
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// One little-endian IFD of ASCII values (and one LONG pointer), its long values after it.
std::string Ifd(const std::vector<std::pair<std::uint16_t, std::string>>& texts, std::uint32_t at,
                std::uint16_t pointerTag = 0, std::uint32_t pointer = 0)
{
    size_t count = texts.size() + (pointerTag ? 1 : 0);
    std::uint32_t data = at + 2 + static_cast<std::uint32_t>(count) * 12 + 4;
    std::string entries = Le(static_cast<std::uint32_t>(count), 2);
    std::string values;
    for (const auto& [tag, text] : texts) {
        std::string value = text + '\0';
        entries += Le(tag, 2) + Le(2, 2) + Le(static_cast<std::uint32_t>(value.size()), 4);
        if (value.size() <= 4) {
            entries += value + std::string(4 - value.size(), '\0');
        } else {
            entries += Le(data + static_cast<std::uint32_t>(values.size()), 4);
            values += value;
        }
    }
    if (pointerTag)
        entries += Le(pointerTag, 2) + Le(4, 2) + Le(1, 4) + Le(pointer, 4);
    return entries + Le(0, 4) + values;
}

// A JPEG as a camera writes one: Exif with make, model and the date taken, then the frame header.
std::string Photo(const std::string& taken, const std::string& model, std::uint16_t width = 640)
{
    std::vector<std::pair<std::uint16_t, std::string>> ifd0 = {{0x010F, "Canon"}, {0x0110, model}};
    std::string first = Ifd(ifd0, 8, 0x8769, 0);
    std::uint32_t exifAt = 8 + static_cast<std::uint32_t>(first.size());
    first = Ifd(ifd0, 8, 0x8769, exifAt);
    std::string exif = taken.empty() ? Ifd({}, exifAt) : Ifd({{0x9003, taken}, {0x9291, "25"}}, exifAt);
    std::string tiff = "II*" + std::string(1, '\0') + Le(8, 4) + first + exif;
    std::string app1 = "Exif" + std::string(2, '\0') + tiff;
    std::string sof = std::string("\x08", 1) + Be(480, 2) + Be(width, 2) + "\x03" + "\x01\x11\x00\x02\x11\x01\x03\x11\x01";
    return "\xFF\xD8\xFF\xE1" + Be(static_cast<std::uint32_t>(app1.size() + 2), 2) + app1 + "\xFF\xC0" +
           Be(static_cast<std::uint32_t>(sof.size() + 2), 2) + sof + "\xFF\xD9";
}

// An MP3 with an ID3v2.3 tag of UTF-16 text frames (those given non-empty).
std::string Song(const std::wstring& artist, const std::wstring& title, const std::string& track,
                 const std::wstring& album = L"", const std::string& disc = "")
{
    auto utf16 = [](const std::wstring& text) {
        std::string bytes = "\x01\xFF\xFE";
        for (wchar_t unit : text)
            bytes += Le(unit, 2);
        return bytes;
    };
    auto frame = [](const char* id, const std::string& body) {
        return std::string(id) + Be(static_cast<std::uint32_t>(body.size()), 4) + std::string(2, '\0') + body;
    };
    std::string frames;
    if (!artist.empty())
        frames += frame("TPE1", utf16(artist));
    if (!title.empty())
        frames += frame("TIT2", utf16(title));
    if (!album.empty())
        frames += frame("TALB", utf16(album));
    if (!track.empty())
        frames += frame("TRCK", std::string(1, '\0') + track);
    if (!disc.empty())
        frames += frame("TPOS", std::string(1, '\0') + disc);
    std::uint32_t size = static_cast<std::uint32_t>(frames.size());
    std::string syncsafe = {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
                            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
    return std::string("ID3\x03\0\0", 6) + syncsafe + frames + std::string("\xFF\xFB\x90\x00", 4) + std::string(4096, '\0');
}

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
                                bool regex = false, bool modifiedForTaken = false)
    {
        ReplaceRule rule;
        rule.search = search;
        rule.replacement = replacement;
        rule.regex = regex;
        rule.modifiedForTaken = modifiedForTaken;
        ReplaceSelection selection;
        selection.folders = false;
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
            std::wstring row = std::wstring(entry.Name());
            if (entry.status == PlanStatus::WillChange)
                row += L" -> " + entry.newName;
            if (entry.status != PlanStatus::WillChange || entry.reason != PlanReason::None)
                row += L": " + DescribePlannedEntry(entry);
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
    ReplaceOrdering bySize{ReplaceOrder::Size, true, false};
    folder.WriteFile(L"Home\\a.jpg", Photo("", "R6") + std::string(1000, '\0'));
    Walk();
    EXPECT_EQ(Rows(Plan(L"", L"{n}", bySize))[0], L"a.jpg -> 1.jpg");
}

TEST_F(TokenPlans, MusicIsNamedByItsTagsAndOrderedByAlbumDiscAndTrack)
{
    folder.WriteFile(L"track03.mp3", Song(L"\u00c4d\u00e8le", L"Song Title", "3/12", L"Album B", "1"));
    folder.WriteFile(L"track01.mp3", Song(L"AC/DC", L"Thunder", "1", L"Album B", "2"));
    folder.WriteFile(L"track02.mp3", Song(L"", L"Untitled", "2", L"Album A"));
    Walk();
    EXPECT_EQ(Rows(Plan(L"", L"{track:00} - {artist} - {title}", {ReplaceOrder::AlbumOrder, false, false})),
              (std::vector<std::wstring>{L"track02.mp3: Cannot change (no artist)",
                                         L"track03.mp3 -> 03 - \u00c4d\u00e8le - Song Title.mp3",
                                         L"track01.mp3 -> 01 - AC_DC - Thunder.mp3"}));
}
