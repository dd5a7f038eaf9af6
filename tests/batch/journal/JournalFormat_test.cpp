// The journal's bytes: a begun and an ended journal read back whole, every record framed with its
// CRC-32, a damaged or cut record left out and counted but never read as something else, and a
// journal of the first format still read, all or nothing.
#include "Crc32.h"
#include "JournalFormat.h"
#include "JournalRecords.h"
#include "JournalStore.h"
#include "JournalVersion1.h"
#include "RunJournal.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

const std::wstring kRoot = L"\\\\?\\C:\\Photos";

FILETIME Time(std::uint64_t ticks)
{
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

RunStep Step(StepKind kind, std::int32_t entry, std::wstring path, std::wstring newPath = {},
             std::wstring temporaryPath = {}, DWORD attributes = 0)
{
    RunStep step;
    step.kind = kind;
    step.entry = entry;
    step.path = std::move(path);
    step.newPath = std::move(newPath);
    step.temporaryPath = std::move(temporaryPath);
    step.attributes = attributes;
    return step;
}

struct Sample {
    JournalHeader header;
    JournalMemory memory;
    RunPlan plan;
    KeptTags tags;
    std::vector<RunStep> steps;
    std::vector<StepResult> results;
    std::vector<EntryAfterRun> after;
};

// A numbering run with a chain through a temporary name, a read-only MP3 whose tag is replaced,
// one whose tag is appended, and a case-only folder move: every field the format has. The
// outcomes are those it ends with.
Sample MakeSample()
{
    Sample s;
    s.header.mode = ModeNumber;
    s.header.time = Time(0x01D9123456789ABCull);
    s.header.root = kRoot;
    s.memory.historyFile = L"C:\\Tools\\Nomaro.stdb";
    s.memory.history = {KeptState::Present, 0, std::string("\x01\0\0\0hist", 8)};
    s.memory.indexFile = L"C:\\Tools\\20240101000000.idx";
    s.memory.index = {KeptState::Absent, 0, {}};
    s.memory.favoritesOrder = {KeptState::Present, REG_BINARY, std::string("\0\x01\x02", 3)};

    s.plan.root = kRoot;
    s.plan.entries.resize(8);
    s.plan.entries[0].isFolder = true;
    s.plan.entries[2].size = 5000;
    s.plan.entries[2].lastWrite = Time(77);
    s.plan.entries[7].size = 10;
    s.tags[2] = {TagChange::Replaced, 4872, "tag" + std::string(125, 'o'), "tag" + std::string(125, 'n')};
    s.tags[7] = {TagChange::Appended, 10, {}, "TAG" + std::string(125, 'x')};

    s.steps = {
        Step(StepKind::Move, 0, kRoot + L"\\SUB", kRoot + L"\\sub", kRoot + L"\\~t1.tmp"),
        Step(StepKind::ClearReadOnly, 2, kRoot + L"\\sub\\A.MP3", {}, {}, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
        Step(StepKind::WriteTag, 2, kRoot + L"\\sub\\A.MP3"),
        Step(StepKind::Move, 2, kRoot + L"\\sub\\A.MP3", kRoot + L"\\sub\\~cycle.tmp"),
        Step(StepKind::WriteTag, 7, kRoot + L"\\b.mp3"),
        Step(StepKind::Move, 7, kRoot + L"\\b.mp3", kRoot + L"\\T1.mp3"),
        Step(StepKind::Move, 2, kRoot + L"\\sub\\~cycle.tmp", kRoot + L"\\sub\\T0.mp3"),
    };
    s.results.resize(s.steps.size());
    s.results[0] = {StepOutcome::Done, ERROR_SUCCESS, {}};
    s.results[5] = {StepOutcome::Postponed, ERROR_SHARING_VIOLATION, {}};
    s.results[6] = {StepOutcome::Failed, ERROR_ACCESS_DENIED, kRoot + L"\\sub\\~cycle.tmp"};
    s.after = {{7, 138, Time(99)}};
    return s;
}

std::string Encoded(const Sample& s)
{
    std::string bytes;
    EXPECT_TRUE(EncodeJournal(s.header, s.memory, s.plan, s.steps, s.tags, bytes));
    return bytes;
}

// The sample begun as a run begins its journal: followed by the room its end will take.
std::string Begun(const Sample& s)
{
    return Encoded(s) + std::string(JournalEndRoom(s.steps) - kBegunJournalTail, '\0');
}

// The sample begun and then ended as a run ends its journal on disk, in the room it kept.
std::string Ended(const Sample& s)
{
    TempFolder folder;
    std::wstring path = folder / L"Run.journal";
    WriteFileBytes(path, Begun(s));
    UniqueFile held = HoldJournal(path);
    EXPECT_TRUE(CompleteJournal(held.get(), s.steps, s.results, s.after));
    // Only a begun journal of as many steps can be ended.
    EXPECT_FALSE(CompleteJournal(held.get(), s.steps, s.results, s.after));
    held.reset();
    return ReadFileBytes(path);
}

// The first format's journal, as JournalVersion1.h holds it.
std::string Version1EndedJournal()
{
    std::string bytes;
    for (const char* digit = kVersion1EndedJournalHex; digit[0] && digit[1]; digit += 2)
        bytes.push_back(static_cast<char>(std::stoi(std::string(digit, 2), nullptr, 16)));
    return bytes;
}

bool SameStep(const RunStep& a, const RunStep& b)
{
    return a.kind == b.kind && a.entry == b.entry && a.path == b.path && a.newPath == b.newPath &&
           a.temporaryPath == b.temporaryPath && a.attributes == b.attributes;
}

bool SameResult(const StepResult& a, const StepResult& b)
{
    return a.outcome == b.outcome && a.error == b.error && a.strandedAt == b.strandedAt;
}

// The entries kept: those with steps, in plan order, as the plan and the kept tags give them.
void ExpectEntryOf(const JournalEntry& read, const Sample& s)
{
    ASSERT_TRUE(read.planIndex >= 0 && static_cast<size_t>(read.planIndex) < s.plan.entries.size()) << read.planIndex;
    const PlannedEntry& planned = s.plan.entries[static_cast<size_t>(read.planIndex)];
    auto tag = s.tags.find(read.planIndex);
    EXPECT_EQ(read.isFolder, planned.isFolder) << read.planIndex;
    EXPECT_EQ(read.size, planned.size) << read.planIndex;
    EXPECT_EQ(read.lastWrite.dwLowDateTime, planned.lastWrite.dwLowDateTime) << read.planIndex;
    EXPECT_EQ(read.tag, tag == s.tags.end() ? TagChange::None : tag->second.change) << read.planIndex;
    if (tag != s.tags.end()) {
        EXPECT_EQ(read.tagOffset, tag->second.offset) << read.planIndex;
        EXPECT_EQ(read.oldTag, tag->second.oldTag) << read.planIndex;
        EXPECT_EQ(read.newTag, tag->second.newTag) << read.planIndex;
    }
}

// Whatever was read is what was written: the steps in their order (some may be left out), each
// with its outcome, the entries, and the memory unless it is counted as unreadable.
void ExpectOnlyWhatWasWritten(const RunJournalData& read, const Sample& s, const std::string& what)
{
    EXPECT_EQ(read.header.root, kRoot) << what;
    EXPECT_EQ(read.header.mode, ModeNumber) << what;
    EXPECT_EQ(read.header.stepCount, s.steps.size()) << what;
    if (!read.damage.memoryUnreadable) {
        EXPECT_EQ(read.memory.historyFile, s.memory.historyFile) << what;
        EXPECT_EQ(read.memory.history.bytes, s.memory.history.bytes) << what;
        EXPECT_EQ(read.memory.favoritesOrder.bytes, s.memory.favoritesOrder.bytes) << what;
    }
    for (const JournalEntry& entry : read.entries)
        ExpectEntryOf(entry, s);
    ASSERT_TRUE(read.results.empty() || read.results.size() == read.steps.size()) << what;
    size_t written = 0;
    for (size_t i = 0; i < read.steps.size(); ++i, ++written) {
        while (written < s.steps.size() && !SameStep(read.steps[i], s.steps[written]))
            ++written;
        ASSERT_LT(written, s.steps.size()) << what << ": step " << i << " was never written";
        if (!read.results.empty()) {
            EXPECT_TRUE(SameResult(read.results[i], s.results[written])) << what << ": step " << i;
        }
    }
}

} // namespace

TEST(JournalFormat, BegunJournalReadsBackWhole)
{
    Sample s = MakeSample();
    std::string bytes = Encoded(s);
    EXPECT_EQ(bytes.substr(0, 12), std::string("NMROJRNL\x02\0\0\0", 12));

    RunJournalData read;
    ASSERT_TRUE(DecodeJournal(bytes, read));
    EXPECT_FALSE(read.damage.Any());
    EXPECT_EQ(read.header.state, JournalState::Begun);
    EXPECT_EQ(read.header.time.dwHighDateTime, s.header.time.dwHighDateTime);
    EXPECT_EQ(read.header.time.dwLowDateTime, s.header.time.dwLowDateTime);
    EXPECT_EQ(read.memory.history.state, KeptState::Present);
    EXPECT_EQ(read.memory.indexFile, s.memory.indexFile);
    EXPECT_EQ(read.memory.index.state, KeptState::Absent);
    EXPECT_EQ(read.memory.favoritesOrder.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(read.entries.size(), 3u);
    ASSERT_EQ(read.steps.size(), s.steps.size());
    ExpectOnlyWhatWasWritten(read, s, "begun");
    EXPECT_TRUE(read.results.empty());
    EXPECT_FALSE(read.entries[1].afterKnown);

    JournalHeader header;
    ASSERT_TRUE(DecodeJournalHeader(bytes, header));
    EXPECT_EQ(header.root, kRoot);
    EXPECT_EQ(header.stepCount, s.steps.size());
}

TEST(JournalFormat, EveryRecordIsFramedWithTheCrc32OfItsPayload)
{
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    Sample s = MakeSample();
    for (const std::string& bytes : {Encoded(s), Ended(s)}) {
        std::vector<size_t> offsets = RecordOffsets(bytes);
        // The header, the memory, 3 entries, 7 steps and the end, and nothing after them.
        ASSERT_EQ(offsets.size(), 2 + 3 + s.steps.size() + 1);
        for (size_t at : offsets) {
            std::uint32_t length = 0;
            std::uint32_t crc = 0;
            memcpy(&length, bytes.data() + at, 4);
            ASSERT_LE(at + 8 + length, bytes.size());
            memcpy(&crc, bytes.data() + at + 4 + length, 4);
            EXPECT_EQ(crc, Crc32(std::string_view(bytes).substr(at + 4, length))) << at;
            if (at == offsets.back()) {
                EXPECT_EQ(at + 8 + length, bytes.size());
            }
        }
    }
    // The begun journal's end record is empty: eight zero bytes.
    std::string begun = Encoded(s);
    EXPECT_EQ(begun.substr(begun.size() - kBegunJournalTail), std::string(kBegunJournalTail, '\0'));
}

TEST(JournalFormat, TheRoomKeptForTheEndReadsAsPartOfABegunJournalAndHoldsTheLongestEnd)
{
    Sample s = MakeSample();
    std::string begun = Begun(s);
    RunJournalData read;
    ASSERT_TRUE(DecodeJournal(begun, read));
    EXPECT_FALSE(read.damage.Any());
    EXPECT_EQ(read.header.state, JournalState::Begun);
    begun[begun.size() - 1] = 1;
    ASSERT_TRUE(DecodeJournal(begun, read));
    EXPECT_TRUE(read.damage.endUnreadable);

    // The longest end: every move stranded under its temporary name, every tagged file's state.
    std::vector<StepResult> stranded(s.steps.size(), {StepOutcome::Failed, ERROR_ACCESS_DENIED, {}});
    for (size_t i = 0; i < s.steps.size(); ++i)
        stranded[i].strandedAt = s.steps[i].temporaryPath;
    std::string end;
    ASSERT_TRUE(EncodeJournalEnd(s.steps, stranded, {{2, 1, Time(1)}, {7, 2, Time(2)}}, end));
    EXPECT_EQ(end.size(), JournalEndRoom(s.steps));
}

TEST(JournalFormat, EndedJournalAddsOutcomesAndTheStateOfTaggedFiles)
{
    Sample s = MakeSample();
    // As the first format (without checksums) wrote it too, which is still read.
    for (const std::string& bytes : {Ended(s), Version1EndedJournal()}) {
        RunJournalData read;
        ASSERT_TRUE(DecodeJournal(bytes, read));
        EXPECT_FALSE(read.damage.Any());
        EXPECT_EQ(read.header.state, JournalState::Ended);
        ASSERT_EQ(read.steps.size(), s.steps.size());
        ASSERT_EQ(read.results.size(), s.steps.size());
        ExpectOnlyWhatWasWritten(read, s, "ended, version " + std::to_string(bytes[8]));
        EXPECT_FALSE(read.entries[1].afterKnown);
        ASSERT_TRUE(read.entries[2].afterKnown);
        EXPECT_EQ(read.entries[2].sizeAfter, 138u);
        EXPECT_EQ(read.entries[2].lastWriteAfter.dwLowDateTime, 99u);
        JournalHeader header;
        ASSERT_TRUE(DecodeJournalHeader(bytes, header));
        EXPECT_EQ(header.stepCount, s.steps.size());
    }
}

TEST(JournalFormat, NamesFromOtherSystemsAreKeptUnitForUnit)
{
    // A colon (a Unix name under Wine), a private-use character (the same name through a share),
    // a lone surrogate: names the walk returns, which a run must be able to write down.
    Sample s = MakeSample();
    s.steps[4].path = kRoot + L"\\COLON:NAME \xF03A \xD800.mp3";
    s.steps[5].path = s.steps[4].path;
    s.steps[5].newPath = kRoot + L"\\colon:name \xF03A \xDC00.mp3";
    RunJournalData read;
    ASSERT_TRUE(DecodeJournal(Ended(s), read));
    EXPECT_FALSE(read.damage.Any());
    ExpectOnlyWhatWasWritten(read, s, "odd names");
    ASSERT_EQ(read.steps.size(), s.steps.size());
    EXPECT_EQ(read.steps[5].newPath, s.steps[5].newPath);
}

TEST(JournalFormat, StepsThatCouldNotBeTakenBackAreNotWrittenDown)
{
    struct Case {
        const char* what;
        std::function<void(Sample&)> change;
    };
    const Case cases[] = {
        {"path outside the root", [](Sample& s) { s.steps[5].path = L"\\\\?\\C:\\Other\\b.mp3"; }},
        {"root spelled otherwise", [](Sample& s) { s.steps[5].path = L"\\\\?\\C:\\PHOTOS\\b.mp3"; }},
        {"move into another folder", [](Sample& s) { s.steps[5].newPath = kRoot + L"\\sub\\T1.mp3"; }},
        {"dot-dot part", [](Sample& s) { s.steps[5].path = kRoot + L"\\..\\b.mp3"; }},
        {"forward slash in a name", [](Sample& s) { s.steps[5].newPath = kRoot + L"\\b/x.mp3"; }},
        {"move without a new name", [](Sample& s) { s.steps[5].newPath.clear(); }},
        {"entry outside the plan", [](Sample& s) { s.steps[5].entry = 8; }},
        {"short old tag", [](Sample& s) { s.tags[2].oldTag.resize(127); }},
        {"root not exact", [](Sample& s) { s.header.root = L"C:\\Photos"; }},
    };
    for (const Case& c : cases) {
        Sample s = MakeSample();
        c.change(s);
        std::string bytes;
        EXPECT_FALSE(EncodeJournal(s.header, s.memory, s.plan, s.steps, s.tags, bytes)) << c.what;
    }
}

TEST(JournalFormat, DamageIsNeverReadAsSomethingElse)
{
    Sample s = MakeSample();
    for (const std::string& whole : {Encoded(s), Ended(s)}) {
        // Every cut, at every length: refused, or read up to the cut and said to be cut short.
        for (size_t length = 0; length < whole.size(); ++length) {
            RunJournalData read;
            if (!DecodeJournal(std::string_view(whole).substr(0, length), read))
                continue;
            EXPECT_TRUE(read.damage.cutShort) << length;
            EXPECT_TRUE(read.results.empty()) << length;
            ExpectOnlyWhatWasWritten(read, s, "cut at " + std::to_string(length));
        }
        // Every byte changed, a letter of a stored name among them: refused, or the record that
        // holds it left out and counted.
        for (size_t at = 0; at < whole.size(); ++at) {
            std::string bytes = whole;
            bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
            RunJournalData read;
            if (!DecodeJournal(bytes, read))
                continue;
            EXPECT_TRUE(read.damage.Any()) << at;
            ExpectOnlyWhatWasWritten(read, s, "byte " + std::to_string(at));
        }
    }
}

TEST(JournalFormat, EachDamagedRecordIsLeftOutAndCounted)
{
    Sample s = MakeSample();
    const std::string ended = Ended(s);
    const std::vector<size_t> records = RecordOffsets(ended);
    // A byte of the payload of record i: 0 the header, 1 the memory, 2-4 the entries (plan
    // indexes 0, 2, 7), 5-11 the steps, 12 the end.
    auto flipIn = [&records](size_t i) {
        return [at = records[i] + 5](std::string& b) { b[at] = static_cast<char>(b[at] ^ 0x01); };
    };
    struct Expected {
        bool read = true;
        bool memory = false;
        std::uint32_t entries = 0;
        std::uint32_t steps = 0;
        bool end = false;
        bool cutShort = false;
        size_t stepsRead = 7;
    };
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        Expected expected;
    };
    const Case cases[] = {
        {"magic", [](std::string& b) { b[0] = 'X'; }, {false}},
        {"version 3", [](std::string& b) { b[8] = 3; }, {false}},
        {"header", flipIn(0), {false}},
        {"header marked begun again", [](std::string& b) { b[kJournalStateOffset] = 1; }, {false}},
        {"memory", flipIn(1), {true, true}},
        // The four steps of the entry with plan index 2 go with it, uncounted.
        {"entry", flipIn(3), {true, false, 1, 0, false, false, 3}},
        {"step", flipIn(2 + 3 + 4), {true, false, 0, 1, false, false, 6}},
        {"end", flipIn(12), {true, false, 0, 0, true}},
        {"length past the end", [&records](std::string& b) { b[records[9] + 3] = '\x70'; }, {true, false, 0, 3, true, true, 4}},
        {"trailing byte", [](std::string& b) { b.push_back('\0'); }, {true, false, 0, 0, true}},
    };
    for (const Case& c : cases) {
        std::string bytes = ended;
        c.damage(bytes);
        RunJournalData read;
        ASSERT_EQ(DecodeJournal(bytes, read), c.expected.read) << c.what;
        if (!c.expected.read)
            continue;
        EXPECT_EQ(read.damage.memoryUnreadable, c.expected.memory) << c.what;
        EXPECT_EQ(read.damage.entriesUnreadable, c.expected.entries) << c.what;
        EXPECT_EQ(read.damage.stepsUnreadable, c.expected.steps) << c.what;
        EXPECT_EQ(read.damage.endUnreadable, c.expected.end) << c.what;
        EXPECT_EQ(read.damage.cutShort, c.expected.cutShort) << c.what;
        EXPECT_EQ(read.steps.size(), c.expected.stepsRead) << c.what;
        // How the run ended unread, it is taken as one that never ended.
        EXPECT_EQ(read.header.state, c.expected.end ? JournalState::Begun : JournalState::Ended) << c.what;
        ExpectOnlyWhatWasWritten(read, s, c.what);
    }
}

TEST(JournalFormat, JournalsOfTheFirstFormatAreReadAllOrNothing)
{
    const std::string version1 = Version1EndedJournal();
    RunJournalData read;
    for (size_t length = 0; length < version1.size(); ++length)
        EXPECT_FALSE(DecodeJournal(std::string_view(version1).substr(0, length), read)) << length;
    const size_t rootLength = 30; // the root's unit count, after the fixed fields
    const std::function<void(std::string&)> damages[] = {
        [](std::string& b) { b[0] = 'X'; },                                         // magic
        [](std::string& b) { b[8] = 2; },                                           // read as the second format
        [](std::string& b) { b[12] = 3; },                                          // state
        [](std::string& b) { b[13] = 4; },                                          // mode 4
        [](std::string& b) { b[18] = static_cast<char>(b[18] + 1); },               // step count too high
        [=](std::string& b) { b[rootLength + 1] = '\x70'; },                        // root length past the end
        [](std::string& b) { b.push_back('\0'); },                                  // trailing byte
    };
    for (const auto& damage : damages) {
        std::string bytes = version1;
        damage(bytes);
        EXPECT_FALSE(DecodeJournal(bytes, read));
    }
}
