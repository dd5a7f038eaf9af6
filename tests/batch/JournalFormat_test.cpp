// The journal's bytes: a begun and an ended journal read back whole, and every damaged or cut
// journal refused.
#include "JournalFormat.h"

#include <gtest/gtest.h>

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
};

// A numbering run with a chain through a temporary name, a read-only MP3 whose tag is replaced,
// one whose tag is appended, and a case-only folder move: every field the format has.
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
    return s;
}

std::string Encoded(const Sample& s)
{
    std::string bytes;
    EXPECT_TRUE(EncodeJournal(s.header, s.memory, s.plan, s.steps, s.tags, bytes));
    return bytes;
}

void ExpectSameSteps(const std::vector<RunStep>& read, const std::vector<RunStep>& written)
{
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].kind, written[i].kind) << i;
        EXPECT_EQ(read[i].entry, written[i].entry) << i;
        EXPECT_EQ(read[i].path, written[i].path) << i;
        EXPECT_EQ(read[i].newPath, written[i].newPath) << i;
        EXPECT_EQ(read[i].temporaryPath, written[i].temporaryPath) << i;
        EXPECT_EQ(read[i].attributes, written[i].attributes) << i;
    }
}

// The entries kept: those with steps, in plan order, as the plan and the kept tags give them.
void ExpectEntriesOf(const std::vector<JournalEntry>& read, const Sample& s)
{
    ASSERT_EQ(read.size(), 3u);
    const std::int32_t indexes[] = {0, 2, 7};
    for (size_t i = 0; i < read.size(); ++i) {
        const PlannedEntry& planned = s.plan.entries[static_cast<size_t>(indexes[i])];
        auto tag = s.tags.find(indexes[i]);
        EXPECT_EQ(read[i].planIndex, indexes[i]) << i;
        EXPECT_EQ(read[i].isFolder, planned.isFolder) << i;
        EXPECT_EQ(read[i].size, planned.size) << i;
        EXPECT_EQ(read[i].lastWrite.dwLowDateTime, planned.lastWrite.dwLowDateTime) << i;
        EXPECT_EQ(read[i].tag, tag == s.tags.end() ? TagChange::None : tag->second.change) << i;
        if (tag != s.tags.end()) {
            EXPECT_EQ(read[i].tagOffset, tag->second.offset) << i;
            EXPECT_EQ(read[i].oldTag, tag->second.oldTag) << i;
            EXPECT_EQ(read[i].newTag, tag->second.newTag) << i;
        }
    }
}

} // namespace

TEST(JournalFormat, BegunJournalReadsBackWhole)
{
    Sample s = MakeSample();
    std::string bytes = Encoded(s);
    EXPECT_EQ(bytes.substr(0, 12), std::string("NMROJRNL\x01\0\0\0", 12));

    RunJournalData read;
    ASSERT_TRUE(DecodeJournal(bytes, read));
    EXPECT_EQ(read.header.state, JournalState::Begun);
    EXPECT_EQ(read.header.mode, ModeNumber);
    EXPECT_EQ(read.header.time.dwHighDateTime, s.header.time.dwHighDateTime);
    EXPECT_EQ(read.header.time.dwLowDateTime, s.header.time.dwLowDateTime);
    EXPECT_EQ(read.header.root, kRoot);
    EXPECT_EQ(read.memory.historyFile, s.memory.historyFile);
    EXPECT_EQ(read.memory.history.state, KeptState::Present);
    EXPECT_EQ(read.memory.history.bytes, s.memory.history.bytes);
    EXPECT_EQ(read.memory.indexFile, s.memory.indexFile);
    EXPECT_EQ(read.memory.index.state, KeptState::Absent);
    EXPECT_EQ(read.memory.favoritesOrder.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(read.memory.favoritesOrder.bytes, s.memory.favoritesOrder.bytes);
    ExpectEntriesOf(read.entries, s);
    ExpectSameSteps(read.steps, s.steps);
    EXPECT_TRUE(read.results.empty());
    EXPECT_FALSE(read.entries[1].afterKnown);

    JournalHeader header;
    ASSERT_TRUE(DecodeJournalHeader(bytes, header));
    EXPECT_EQ(header.root, kRoot);
    EXPECT_EQ(header.stepCount, s.steps.size());
}

TEST(JournalFormat, EndedJournalAddsOutcomesAndTheStateOfTaggedFiles)
{
    Sample s = MakeSample();
    std::string bytes = Encoded(s);
    std::vector<StepResult> results(s.steps.size());
    results[0] = {StepOutcome::Done, ERROR_SUCCESS, {}};
    results[5] = {StepOutcome::Postponed, ERROR_SHARING_VIOLATION, {}};
    results[6] = {StepOutcome::Failed, ERROR_ACCESS_DENIED, kRoot + L"\\sub\\~cycle.tmp"};
    std::vector<EntryAfterRun> after{{7, 138, Time(99)}};
    ASSERT_TRUE(EndJournal(bytes, s.steps, results, after));
    // Only a begun journal of as many steps can be ended.
    std::string again = bytes;
    EXPECT_FALSE(EndJournal(again, s.steps, results, after));

    RunJournalData read;
    ASSERT_TRUE(DecodeJournal(bytes, read));
    EXPECT_EQ(read.header.state, JournalState::Ended);
    ExpectSameSteps(read.steps, s.steps);
    ASSERT_EQ(read.results.size(), s.steps.size());
    EXPECT_EQ(read.results[0].outcome, StepOutcome::Done);
    EXPECT_EQ(read.results[1].outcome, StepOutcome::NotTried);
    EXPECT_EQ(read.results[5].outcome, StepOutcome::Postponed);
    EXPECT_EQ(read.results[5].error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(read.results[6].strandedAt, kRoot + L"\\sub\\~cycle.tmp");
    EXPECT_FALSE(read.entries[1].afterKnown);
    ASSERT_TRUE(read.entries[2].afterKnown);
    EXPECT_EQ(read.entries[2].sizeAfter, 138u);
    EXPECT_EQ(read.entries[2].lastWriteAfter.dwLowDateTime, 99u);
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
        {"stream name", [](Sample& s) { s.steps[5].newPath = kRoot + L"\\b.mp3:x"; }},
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

TEST(JournalFormat, DamagedJournalsAreRefused)
{
    Sample s = MakeSample();
    std::string begun = Encoded(s);
    std::string ended = begun;
    ASSERT_TRUE(EndJournal(ended, s.steps, std::vector<StepResult>(s.steps.size()), {}));

    // Every cut, at every length, of both forms.
    for (const std::string* whole : {&begun, &ended}) {
        for (size_t length = 0; length < whole->size(); ++length) {
            RunJournalData read;
            EXPECT_FALSE(DecodeJournal(std::string_view(*whole).substr(0, length), read)) << length;
        }
    }

    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
    };
    const size_t rootLength = 30; // the root's unit count, after the fixed fields
    const Case cases[] = {
        {"magic", [](std::string& b) { b[0] = 'X'; }},
        {"version", [](std::string& b) { b[8] = 2; }},
        {"state", [](std::string& b) { b[12] = 3; }},
        {"ended without results", [](std::string& b) { b[12] = 2; }},
        {"mode 4", [](std::string& b) { b[13] = 4; }},
        {"step count too high", [](std::string& b) { b[18] = static_cast<char>(b[18] + 1); }},
        {"root length past the end", [=](std::string& b) { b[rootLength + 1] = '\x70'; }},
        {"root length beyond any path", [=](std::string& b) { b.replace(rootLength, 4, std::string("\x10\x80\0\0", 4)); }},
        {"trailing byte", [](std::string& b) { b.push_back('\0'); }},
    };
    for (const Case& c : cases) {
        std::string bytes = begun;
        c.damage(bytes);
        RunJournalData read;
        EXPECT_FALSE(DecodeJournal(bytes, read)) << c.what;
    }
}

TEST(JournalFormat, FileNamesSortAsRunsBegan)
{
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 5;
    time.wDay = 1;
    time.wHour = 9;
    time.wMinute = 30;
    time.wSecond = 7;
    time.wMilliseconds = 12;
    EXPECT_EQ(JournalFileName(time), L"Run-20240501-093007-012.journal");

    SYSTEMTIME read{};
    ASSERT_TRUE(ParseJournalFileName(L"RUN-20240501-093007-012.JOURNAL", read));
    EXPECT_EQ(read.wYear, 2024);
    EXPECT_EQ(read.wMilliseconds, 12);
    const wchar_t* others[] = {L"Run-20240501-093007-012.journal.tmp", L"Run-2024050-093007-0123.journal",
                               L"Run-20240501-093007-01x.journal", L"Nomaro.stdb", L"Run-20240501_093007-012.journal"};
    for (const wchar_t* name : others)
        EXPECT_FALSE(IsJournalFileName(name)) << name;
}
