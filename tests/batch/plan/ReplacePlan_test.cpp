// Find and Replace planned over a tree walked once: the entries the options take, the names that
// are refused, the names two entries would share, and the names other entries hold or give up.
#include "ReplacePlan.h"
#include "HandPlan.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A collected tree as the walk leaves it, from paths in walk order (folders before their
// contents); a path ending in a backslash is a folder, attributes are added by name.
RunPlan Collected(std::vector<std::wstring> paths, std::map<std::wstring, DWORD> attributes = {},
                  std::wstring root = L"\\\\?\\C:\\T")
{
    RunPlan plan;
    plan.mode = ModeFindReplace;
    plan.root = std::move(root);
    std::map<std::wstring, std::int32_t> folderEntries;
    for (std::wstring path : paths) {
        bool isFolder = path.back() == L'\\';
        if (isFolder)
            path.pop_back();
        PlannedEntry& entry = AddPlannedEntry(plan, path);
        entry.isFolder = isFolder;
        std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        entry.parent = folder == L"." ? -1 : folderEntries.at(folder);
        entry.attributes = (entry.isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE) |
                           (attributes.count(path) ? attributes.at(path) : 0);
        if (entry.isFolder)
            folderEntries.emplace(path, static_cast<std::int32_t>(plan.entries.size()) - 1);
    }
    return plan;
}

// Rules are written {search, replacement, regex}.
RunPlan Plan(const RunPlan& collected, const ReplaceRule& rule)
{
    return PlanReplace(collected, {}, CompileReplaceRule(rule));
}

std::vector<std::wstring> Paths(const RunPlan& plan)
{
    std::vector<std::wstring> paths;
    for (const PlannedEntry& entry : plan.entries)
        paths.push_back(plan.Path(entry));
    return paths;
}

// What happens to each entry, in words, by its name now.
std::map<std::wstring, std::wstring> Outcomes(const RunPlan& plan)
{
    std::map<std::wstring, std::wstring> outcomes;
    for (const PlannedEntry& entry : plan.entries)
        outcomes[std::wstring(plan.Name(entry))] = entry.Renames() ? L"-> " + plan.NewNameOf(entry) : DescribePlannedEntry(plan, entry);
    return outcomes;
}

} // namespace

TEST(ReplacePlan, TheOptionsTakeFilesFoldersSubfoldersAndHiddenEntries)
{
    RunPlan collected = Collected({L".\\a.txt", L".\\Sub\\", L".\\Sub\\b.txt", L".\\Sub\\Deep\\", L".\\Sub\\Deep\\c.txt",
                                   L".\\.git\\", L".\\.git\\config", L".\\desktop.ini"},
                                  {{L".\\.git", FILE_ATTRIBUTE_HIDDEN}, {L".\\desktop.ini", FILE_ATTRIBUTE_SYSTEM}});
    struct Case {
        ReplaceSelection selection;
        std::vector<std::wstring> taken;
        size_t held;
    } cases[] = {
        // A hidden folder left out is not entered: its contents keep their names too.
        {{}, {L".\\a.txt", L".\\Sub", L".\\Sub\\b.txt", L".\\Sub\\Deep", L".\\Sub\\Deep\\c.txt"}, 2},
        {{true, false, true, false}, {L".\\a.txt", L".\\Sub\\b.txt", L".\\Sub\\Deep\\c.txt"}, 4},
        {{false, true, true, false}, {L".\\Sub", L".\\Sub\\Deep"}, 5},
        {{true, true, false, false}, {L".\\a.txt", L".\\Sub"}, 2},
        {{true, true, true, true},
         {L".\\a.txt", L".\\Sub", L".\\Sub\\b.txt", L".\\Sub\\Deep", L".\\Sub\\Deep\\c.txt", L".\\.git", L".\\.git\\config",
          L".\\desktop.ini"},
         0},
    };
    for (const Case& c : cases) {
        CollectedTree tree = SelectEntries(collected, c.selection);
        EXPECT_EQ(Paths(tree.plan), c.taken);
        EXPECT_EQ(tree.held.size(), c.held);
        // Each taken entry's folder link leads to its folder among the taken, or nowhere.
        for (const PlannedEntry& entry : tree.plan.entries) {
            std::wstring folder = tree.plan.FolderPath(entry);
            if (entry.parent >= 0)
                EXPECT_EQ(tree.plan.Path(tree.plan.entries[static_cast<size_t>(entry.parent)]), folder);
            else
                EXPECT_TRUE(folder == L"." || !c.selection.folders) << Narrow(tree.plan.Path(entry));
        }
    }
}

TEST(ReplacePlan, NamesThatMustNotBeMadeAreRefusedWithTheirReasons)
{
    const std::wstring badCharacter = L": holds a character names cannot have (\\ / : * ? \" < > | or a control character)";
    const std::wstring longName(256, L'n');
    struct Case {
        std::wstring newName;
        std::wstring refusal;
    };
    std::vector<Case> cases = {
        {L"", L"empty or only dots and blanks"},
        {L"..", L"..: empty or only dots and blanks"},
        {L" . ", L" . : empty or only dots and blanks"},
        {L"name.", L"name.: ends in a dot or a blank"},
        {L"name ", L"name : ends in a dot or a blank"},
        {L"CON", L"CON: reserved for a device"},
        {longName, longName + L": too long"},
        // A name of 255 units and one with a dot or a blank inside are fine.
        {std::wstring(255, L'n'), L""},
        {L".profile", L""},
        {L"a . b", L""},
    };
    for (wchar_t bad : std::wstring(L"\\/:*?\"<>|\t\x1f")) {
        std::wstring name = std::wstring(L"a") + bad + L"b";
        cases.push_back({name, name + badCharacter});
    }
    for (const Case& c : cases) {
        RunPlan plan = Plan(Collected({L".\\old"}), {L"old", c.newName});
        ASSERT_EQ(plan.entries.size(), 1u);
        EXPECT_EQ(plan.entries[0].Renames() ? L"" : RefusalText(plan, plan.entries[0]), c.refusal) << Narrow(c.newName);
    }

    // A path longer than the volume takes, counted with the longer name of each folder above.
    std::wstring root = L"\\\\?\\C:\\" + std::wstring(32700, L'r');
    RunPlan deep = Plan(Collected({L".\\short\\", L".\\short\\file.txt", L".\\x.txt"}, {}, root),
                        {L"^(short|file|x)$", L"$1" + std::wstring(40, L'+'), true});
    EXPECT_EQ(deep.entries[0].status, PlanStatus::WillChange);
    EXPECT_EQ(RefusalText(deep, deep.entries[1]), L"file" + std::wstring(40, L'+') + L".txt: the path would be too long");
    EXPECT_EQ(deep.entries[2].status, PlanStatus::WillChange);
}

TEST(ReplacePlan, TwoEntriesGivenOneNameBothKeepTheirsHeldNamesAreRefusedFreedOnesAreNot)
{
    struct Case {
        const char* what;
        std::vector<std::wstring> paths;
        std::map<std::wstring, DWORD> attributes;
        ReplaceRule rule;
        std::map<std::wstring, std::wstring> outcomes;
    } cases[] = {
        {"two entries would get one name: both keep theirs",
         {L".\\a1.txt", L".\\a2.txt", L".\\b1.txt"},
         {},
         {L"\\d", L"", true},
         {{L"a1.txt", L"Cannot change (a.txt: another entry of the folder would get it too)"},
          {L"a2.txt", L"Cannot change (a.txt: another entry of the folder would get it too)"},
          {L"b1.txt", L"-> b.txt"}}},
        {"in another letter case, one of them only changing case",
         {L".\\A.txt", L".\\b.txt"},
         {},
         {L"^[ab]$", L"a", true},
         {{L"A.txt", L"Cannot change (a.txt: another entry of the folder would get it too)"},
          {L"b.txt", L"Cannot change (a.txt: another entry of the folder would get it too)"}}},
        {"a name held by an entry that stays, or by one the options leave out",
         {L".\\x1.txt", L".\\x.txt", L".\\y1.txt", L".\\y.txt"},
         {{L".\\y.txt", FILE_ATTRIBUTE_HIDDEN}},
         {L"1", L""},
         {{L"x1.txt", L"Cannot change (x.txt: held by another entry)"},
          {L"x.txt", L"Already right"},
          {L"y1.txt", L"Cannot change (y.txt: held by another entry)"}}},
        {"names the run frees, in a cycle",
         {L".\\a-b.txt", L".\\b-a.txt"},
         {},
         {L"^(\\w)-(\\w)$", L"$2-$1", true},
         {{L"a-b.txt", L"-> b-a.txt"}, {L"b-a.txt", L"-> a-b.txt"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunPlan plan = Plan(Collected(c.paths, c.attributes), c.rule);
        EXPECT_EQ(Outcomes(plan), c.outcomes);
    }
}

TEST(ReplacePlan, ACancelledPlanStopsBeforeNamingAnything)
{
    RunPlan collected = Collected({L".\\a.txt", L".\\b.txt"});
    RunPlan plan = PlanReplace(collected, {}, CompileReplaceRule({L"a", L"c"}), [] { return true; });
    for (const PlannedEntry& entry : plan.entries)
        EXPECT_EQ(entry.newName, NewName::Own);
}

TEST(ReplacePlan, APlanWorkedOutAgainOverTheEntriesOfAnotherIsTheSameAsAFreshOne)
{
    // The dialog plans each new text in the strings of the plan shown before.
    RunPlan collected = Collected({L".\\a1.txt", L".\\a2.txt", L".\\x1.txt", L".\\x.txt", L".\\CON1.txt"});
    CollectedTree selected = SelectEntries(collected, {});
    RunOptions options;
    options.mode = ModeFindReplace;
    RunPlan previous = selected.plan;
    for (const ReplaceRule& rule : {ReplaceRule{L"\\d", L"", true}, {L"1", L""}, {L"x", L"y"}, {}}) {
        CompiledReplace compiled = CompileReplaceRule(rule);
        options.replace = &compiled;
        RunPlan fresh = PlanRun(selected.plan, selected.held, options);
        previous = PlanRun(std::move(previous), selected.held, options);
        ASSERT_EQ(previous.entries.size(), fresh.entries.size());
        for (size_t i = 0; i < fresh.entries.size(); ++i) {
            const PlannedEntry& again = previous.entries[i];
            const PlannedEntry& first = fresh.entries[i];
            EXPECT_TRUE(previous.NewNameOf(again) == fresh.NewNameOf(first) && again.status == first.status &&
                        again.reason == first.reason)
                << Narrow(rule.search) << ": " << Narrow(fresh.Path(first));
        }
    }
}
