// The plan in words and in numbers.
#include "RunPlan.h"

#include "HandPlan.h"

#include <gtest/gtest.h>

namespace {
struct Entry {
    Entry(const wchar_t* path, const wchar_t* newName, PlanStatus status, PlanReason reason = PlanReason::None,
          bool tag = false, bool readOnly = false)
        : path(path), newName(newName), status(status), reason(reason), tag(tag), readOnly(readOnly)
    {
    }
    const wchar_t* path;
    const wchar_t* newName;
    PlanStatus status;
    PlanReason reason;
    bool tag;
    bool readOnly;
};

RunPlan PlanOf(const std::vector<Entry>& entries)
{
    RunPlan plan;
    for (const Entry& e : entries) {
        PlannedEntry& entry = AddPlannedEntry(plan, e.path);
        plan.SetNewName(entry, e.newName);
        entry.status = e.status;
        entry.reason = e.reason;
        entry.writeTag = e.tag;
        entry.clearReadOnly = e.readOnly;
    }
    return plan;
}
} // namespace

TEST(RunPlan, EachEntrySaysWhatHappensToIt)
{
    struct Case {
        Entry entry;
        const wchar_t* expected;
    } cases[] = {
        {Entry(L".\\A.TXT", L"a.txt", PlanStatus::WillChange), L"Renamed"},
        {Entry(L".\\Sub\\Name", L"name", PlanStatus::WillChange), L"Renamed"},
        {Entry(L".\\x.mp3", L"P01.mp3", PlanStatus::WillChange, PlanReason::None, true), L"Renamed, tag written"},
        {Entry(L".\\P01.mp3", L"P01.mp3", PlanStatus::WillChange, PlanReason::None, true), L"Tag written"},
        {Entry(L".\\r.txt", L"r.txt", PlanStatus::WillChange, PlanReason::None, false, true), L"Read-only mark cleared"},
        {Entry(L".\\a.txt", L"a.txt", PlanStatus::AlreadyRight), L"Already right"},
        {Entry(L".\\b.txt", L"a.txt", PlanStatus::CannotChange, PlanReason::NameHeld),
         L"Cannot change (a.txt: held by another entry)"},
        {Entry(L".\\c.txt", L"con.txt", PlanStatus::CannotChange, PlanReason::NameReserved), L"Cannot change (con.txt: reserved for a device)"},
        {Entry(L".\\d.txt", L"d.txt", PlanStatus::CannotChange, PlanReason::NameTooLong), L"Cannot change (d.txt: too long)"},
        {Entry(L".\\e.jpg", L"e.jpg", PlanStatus::AlreadyRight, PlanReason::CollectedTwice), L"Collected twice: already renamed"},
    };
    for (const Case& c : cases) {
        RunPlan plan = PlanOf({c.entry});
        EXPECT_EQ(DescribePlannedEntry(plan, plan.entries[0]), c.expected) << c.entry.path;
    }
}

TEST(RunPlan, SummaryCountsEachKindOfChange)
{
    RunPlan plan = PlanOf({
        Entry(L".\\A", L"a", PlanStatus::WillChange),
        Entry(L".\\x.mp3", L"P1.mp3", PlanStatus::WillChange, PlanReason::None, true),
        Entry(L".\\P2.mp3", L"P2.mp3", PlanStatus::WillChange, PlanReason::None, true, true),
        Entry(L".\\b", L"b", PlanStatus::AlreadyRight),
        Entry(L".\\c", L"c", PlanStatus::AlreadyRight),
        Entry(L".\\D", L"b", PlanStatus::CannotChange, PlanReason::NameHeld),
    });
    PlanSummary summary = SummarizePlan(plan);
    EXPECT_EQ(summary.entries, 6u);
    EXPECT_EQ(summary.toRename, 2u);
    EXPECT_EQ(summary.tagsToWrite, 2u);
    EXPECT_EQ(summary.readOnlyToClear, 1u);
    EXPECT_EQ(summary.alreadyRight, 2u);
    EXPECT_EQ(summary.cannotChange, 1u);
}
