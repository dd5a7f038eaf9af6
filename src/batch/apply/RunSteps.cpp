// The changes of one run in the order they are made.
#include "RunSteps.h"

#include "FolderWalk.h"
#include "MoveEntry.h"
#include "NameRules.h"
#include "PathParts.h"

#include <unordered_map>

std::wstring RunSteps::NameOf(const Ordered& step, Name name) const
{
    const PlannedEntry& entry = plan_->entries[static_cast<size_t>(step.entry)];
    switch (name) {
    case Name::Old:
        return std::wstring(plan_->Name(entry));
    case Name::New:
        return plan_->NewNameOf(entry);
    case Name::Temporary:
        return TemporaryName(temporaryTag_, step.entry);
    case Name::None:
        break;
    }
    return std::wstring();
}

std::wstring RunSteps::FolderOf(const Ordered& step) const
{
    if (step.folder >= 0)
        return folders_[static_cast<size_t>(step.folder)];
    const PlannedEntry& entry = plan_->entries[static_cast<size_t>(step.entry)];
    std::wstring folder = rootPrefix_;
    plan_->names->AppendFolderPath(entry.folder, folder);
    return folder;
}

RunStep RunSteps::operator[](size_t i) const
{
    if (!plan_)
        return spelt_[i];
    const Ordered& ordered = ordered_[i];
    const PlannedEntry& entry = plan_->entries[static_cast<size_t>(ordered.entry)];
    std::wstring folder = FolderOf(ordered);
    RunStep step;
    step.kind = ordered.kind;
    step.entry = ordered.entry;
    step.attributes = entry.attributes;
    step.path = JoinPath(folder, NameOf(ordered, ordered.from));
    if (ordered.to != Name::None)
        step.newPath = JoinPath(folder, NameOf(ordered, ordered.to));
    if (ordered.caseOnly)
        step.temporaryPath = JoinPath(folder, NameOf(ordered, Name::Temporary));
    return step;
}

struct StepOrder {
    using Name = RunSteps::Name;
    const RunPlan& plan;
    RunSteps& steps;
    // Only folders and parked entries have these. folderNow: a folder whose path changed before
    // its contents' steps (it, or a folder above it, was renamed), by its slot in steps.folders_;
    // parkedIn: an entry moved aside to break a cycle, by its folder.
    std::unordered_map<std::int32_t, std::int32_t> folderNow;
    std::unordered_map<std::int32_t, std::int32_t> parkedIn;
    std::vector<bool> done;
    std::wstring spelling;

    const PlannedEntry& Entry(std::int32_t i) const { return plan.entries[static_cast<size_t>(i)]; }

    // The folder the entry is in when its steps are made: a folder is ordered before its
    // contents, which lie under its new name then.
    std::int32_t CurrentFolder(std::int32_t i) const
    {
        std::int32_t parent = Entry(i).parent;
        auto folder = parent >= 0 ? folderNow.find(parent) : folderNow.end();
        return folder != folderNow.end() ? folder->second : -1;
    }

    void Add(StepKind kind, std::int32_t i, std::int32_t folder, Name from = Name::Old, Name to = Name::None,
             bool caseOnly = false)
    {
        steps.ordered_.push_back(RunSteps::Ordered{kind, from, to, caseOnly, i, folder});
    }

    // The steps that come before the entry's move: both are made under its old name.
    void AddFirstSteps(std::int32_t i, std::int32_t folder)
    {
        if (Entry(i).clearReadOnly)
            Add(StepKind::ClearReadOnly, i, folder);
        if (Entry(i).writeTag)
            Add(StepKind::WriteTag, i, folder);
    }

    // A folder's path once its own move is ordered, for the steps of its contents.
    void RememberFolder(std::int32_t i, std::int32_t folder, Name name)
    {
        RunSteps::Ordered at{StepKind::Move, name, Name::None, false, i, folder};
        steps.folders_.push_back(JoinPath(steps.FolderOf(at), steps.NameOf(at, name)));
        folderNow[i] = static_cast<std::int32_t>(steps.folders_.size()) - 1;
    }

    void Order(std::int32_t i)
    {
        const PlannedEntry& entry = Entry(i);
        done[static_cast<size_t>(i)] = true;
        auto parked = parkedIn.find(i);
        if (parked != parkedIn.end()) {
            Add(StepKind::Move, i, parked->second, Name::Temporary, Name::New);
            parkedIn.erase(parked);
            return;
        }
        std::int32_t folder = CurrentFolder(i);
        AddFirstSteps(i, folder);
        if (!entry.Renames()) {
            if (entry.isFolder && folder >= 0)
                RememberFolder(i, folder, Name::Old);
            return;
        }
        Add(StepKind::Move, i, folder, Name::Old, Name::New, entry.Recased() ||
            EqualsFolded(plan.NewNameIn(entry, spelling), plan.Name(entry)));
        if (entry.isFolder)
            RememberFolder(i, folder, Name::New);
    }

    // Moves the entry to a temporary name, so that the entry waiting for its name can move.
    void Park(std::int32_t i)
    {
        std::int32_t folder = CurrentFolder(i);
        AddFirstSteps(i, folder);
        Add(StepKind::Move, i, folder, Name::Old, Name::Temporary);
        parkedIn[i] = folder;
    }
};

RunSteps OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag)
{
    const size_t count = plan.entries.size();
    RunSteps steps;
    steps.plan_ = &plan;
    steps.temporaryTag_ = temporaryTag;
    steps.rootPrefix_ = plan.root;
    if (steps.rootPrefix_.size() > 1 && steps.rootPrefix_.back() == L'\\')
        steps.rootPrefix_.pop_back();
    StepOrder order{plan, steps, {}, {}, std::vector<bool>(count, false), {}};
    size_t stepCount = 0;
    for (const PlannedEntry& entry : plan.entries)
        stepCount += (entry.clearReadOnly ? 1 : 0) + (entry.writeTag ? 1 : 0) + (entry.Renames() ? 1 : 0);
    steps.ordered_.reserve(stepCount); // a broken cycle adds a step for each of its heads

    // The entry each entry waits for: the one giving up the name it takes. Found folder by folder.
    std::vector<std::int32_t> waitsFor(count, -1);
    auto entryFolder = [&order](std::int32_t i) { return order.Entry(i).folder; };
    std::unordered_map<FolderName, std::int32_t, FolderNameHash> leaving; // who gives up each name
    std::wstring spelling;
    ForEachFolder(GroupedByFolder(count, entryFolder), entryFolder, [&](std::int32_t, auto first, auto last) {
        leaving.clear();
        for (auto k = first; k != last; ++k) {
            const PlannedEntry& entry = order.Entry(*k);
            // A recased name folds to the entry's own: it leaves no name free.
            if (entry.Renames() && !entry.Recased() &&
                !EqualsFolded(plan.NewNameIn(entry, spelling), plan.Name(entry)))
                leaving.emplace(MakeFolderName(entry.folder, plan.Name(entry)), *k);
        }
        for (auto k = first; k != last && !leaving.empty(); ++k) {
            const PlannedEntry& entry = order.Entry(*k);
            if (!entry.Renames())
                continue;
            auto holder = leaving.find(MakeFolderName(entry.folder, plan.NewNameIn(entry, spelling)));
            if (holder != leaving.end() && holder->second != *k)
                waitsFor[static_cast<size_t>(*k)] = holder->second;
        }
    });

    // Follows each chain of waiting entries to its end without recursion: a renumbered folder
    // of many thousand files is one long chain.
    std::vector<bool> onChain(count, false);
    std::vector<std::int32_t> chain;
    for (size_t start = 0; start < count; ++start) {
        if (order.done[start])
            continue;
        std::int32_t current = static_cast<std::int32_t>(start);
        for (;;) {
            std::int32_t next = waitsFor[static_cast<size_t>(current)];
            if (next < 0 || order.done[static_cast<size_t>(next)] || onChain[static_cast<size_t>(next)])
                break;
            chain.push_back(current);
            onChain[static_cast<size_t>(current)] = true;
            current = next;
        }
        std::int32_t next = waitsFor[static_cast<size_t>(current)];
        std::int32_t cycleHead = -1;
        if (next >= 0 && onChain[static_cast<size_t>(next)]) {
            order.Park(current);
            cycleHead = next;
        } else {
            order.Order(current);
        }
        while (!chain.empty()) {
            std::int32_t waiting = chain.back();
            chain.pop_back();
            onChain[static_cast<size_t>(waiting)] = false;
            order.Order(waiting);
            if (waiting == cycleHead)
                order.Order(current); // the parked entry takes the name the cycle's head gave up
        }
    }
    return steps;
}
