// The plan of a run: statuses, names held and freed, and the order that makes chains work.
#include "RunPlanner.h"
#include "RunSteps.h"

#include "HandPlan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// A flat folder: the collected files in collection order, and the names nobody moves.
CollectedTree Folder(std::vector<std::wstring> collected, std::vector<std::wstring> held = {})
{
    CollectedTree tree;
    tree.plan.root = L"\\\\?\\C:\\P";
    for (const std::wstring& name : collected)
        AddPlannedEntry(tree.plan, L".\\" + name).attributes = FILE_ATTRIBUTE_ARCHIVE;
    for (const std::wstring& name : held)
        tree.held.push_back(HeldName{0, name});
    return tree;
}

RunOptions Numbering(std::uint64_t start = 0, std::int32_t width = 1)
{
    RunOptions options;
    options.mode = ModeNumber;
    options.nameText = L"P";
    options.startNumber = start;
    options.numberWidth = width;
    return options;
}

// Plays the ordered moves over the folder's names: no move may land on a name in use, and
// every name must end where the plan says.
std::set<std::wstring> Play(const RunPlan& plan, const std::vector<std::wstring>& held)
{
    std::set<std::wstring> names(held.begin(), held.end());
    for (const PlannedEntry& entry : plan.entries)
        names.insert(std::wstring(plan.Name(entry)));
    RunSteps steps = OrderRunSteps(plan, L"t");
    for (size_t i = 0; i < steps.size(); ++i) {
        RunStep step = steps[i];
        if (step.kind != StepKind::Move)
            continue;
        std::wstring from = step.path.substr(step.path.find_last_of(L'\\') + 1);
        std::wstring to = step.newPath.substr(step.newPath.find_last_of(L'\\') + 1);
        EXPECT_EQ(names.erase(from), 1u) << "moved from a name not there: " << std::string(from.begin(), from.end());
        EXPECT_TRUE(names.insert(to).second) << "moved onto a name in use: " << std::string(to.begin(), to.end());
    }
    return names;
}

std::vector<PlanStatus> Statuses(const RunPlan& plan)
{
    std::vector<PlanStatus> statuses;
    for (const PlannedEntry& entry : plan.entries)
        statuses.push_back(entry.status);
    return statuses;
}

constexpr PlanStatus kChange = PlanStatus::WillChange;
constexpr PlanStatus kRight = PlanStatus::AlreadyRight;
constexpr PlanStatus kCannot = PlanStatus::CannotChange;

} // namespace

TEST(PlanRun, RenumberingANumberedFolderMovesEveryFile)
{
    // The new photo comes first and wants P0.jpg, which P0 gives up for P1.jpg, and so on.
    std::vector<std::wstring> files = {L"new.jpg", L"P0.jpg", L"P1.jpg", L"P2.jpg", L"P3.jpg", L"P4.jpg"};
    RunPlan plan = PlanRun(Folder(files), Numbering());
    EXPECT_EQ(Statuses(plan), std::vector<PlanStatus>(6, kChange));
    EXPECT_EQ(Play(plan, {}), (std::set<std::wstring>{L"P0.jpg", L"P1.jpg", L"P2.jpg", L"P3.jpg", L"P4.jpg", L"P5.jpg"}));
}

TEST(PlanRun, RotationIsBrokenThroughATemporaryName)
{
    // P1 -> P0 and P0 -> P1: each holds the other's new name.
    RunPlan plan = PlanRun(Folder({L"P1.jpg", L"P0.jpg"}), Numbering());
    EXPECT_EQ(Statuses(plan), (std::vector<PlanStatus>{kChange, kChange}));
    RunSteps steps = OrderRunSteps(plan, L"t");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_NE(steps[0].newPath.find(L"~nomaro-t-"), std::wstring::npos);
    EXPECT_EQ(Play(plan, {}), (std::set<std::wstring>{L"P0.jpg", L"P1.jpg"}));
}

TEST(PlanRun, NamesHeldByEntriesThatStayBlockTheWholeChain)
{
    // b.jpg wants P0.jpg, held by a file the run does not number; c.jpg wants P1.jpg, which
    // P1.jpg itself would only give up for P2.jpg, held likewise in another spelling.
    RunPlan plan = PlanRun(Folder({L"b.jpg", L"c.jpg", L"P1.jpg"}, {L"P0.jpg", L"p2.JPG"}), Numbering());
    EXPECT_EQ(Statuses(plan), (std::vector<PlanStatus>{kCannot, kCannot, kCannot}));
    EXPECT_EQ(plan.entries[0].reason, PlanReason::NameHeld);
    EXPECT_EQ(plan.entries[1].reason, PlanReason::NameHeld);
    EXPECT_TRUE(OrderRunSteps(plan, L"t").empty());
}

TEST(PlanRun, CaseModesRefuseReservedNamesAndSecondSpellings)
{
    RunOptions lower;
    lower.mode = ModeLower;
    // CON becomes con, a device; B.TXT meets the b.Txt beside it; ALONE. and SPACE  are ordinary.
    RunPlan plan = PlanRun(Folder({L"CON", L"B.TXT", L"ALONE.", L"SPACE ", L"ok"}, {L"b.Txt"}), lower);
    EXPECT_EQ(Statuses(plan), (std::vector<PlanStatus>{kCannot, kCannot, kChange, kChange, kRight}));
    EXPECT_EQ(plan.entries[0].reason, PlanReason::NameReserved);
    EXPECT_EQ(plan.entries[1].reason, PlanReason::NameHeld);
    EXPECT_EQ(plan.NewNameOf(plan.entries[2]), L"alone.");

    // Numbering into a device name (COM and 2), or past the longest name, is never tried.
    RunOptions com = Numbering(2);
    com.nameText = L"COM";
    EXPECT_EQ(PlanRun(Folder({L"x.jpg"}), com).entries[0].reason, PlanReason::NameReserved);
    RunOptions longName = Numbering();
    longName.nameText = std::wstring(260, L'n');
    EXPECT_EQ(PlanRun(Folder({L"x.jpg"}), longName).entries[0].reason, PlanReason::NameTooLong);
}

TEST(PlanRun, FileCollectedTwiceIsRenamedOnceAndUsesUpItsNumbers)
{
    // An extension listed twice collects the file twice; numbers past 2^32 do not wrap.
    RunPlan plan = PlanRun(Folder({L"a.jpg", L"b.jpg", L"a.jpg"}), Numbering(4294967295u));
    EXPECT_EQ(Statuses(plan), (std::vector<PlanStatus>{kChange, kChange, kRight}));
    EXPECT_EQ(plan.entries[2].reason, PlanReason::CollectedTwice);
    EXPECT_EQ(plan.NewNameOf(plan.entries[1]), L"P4294967296.jpg");
    EXPECT_EQ(plan.NumberOf(2), 4294967297u);
    EXPECT_EQ(Play(plan, {}), (std::set<std::wstring>{L"P4294967295.jpg", L"P4294967296.jpg"}));
}
