// Find and Replace over a tree walked once.
#include "ReplacePlan.h"

#include <algorithm>

static bool IsHiddenOrSystem(const PlannedEntry& entry)
{
    return (entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

CollectedTree SelectEntries(const RunPlan& collected, const ReplaceSelection& selection, std::vector<std::int32_t>* source)
{
    if (source)
        source->clear();
    CollectedTree tree;
    tree.plan.mode = ModeFindReplace;
    tree.plan.root = collected.root;
    tree.plan.names = collected.names;
    const std::vector<PlannedEntry>& all = collected.entries;
    // Per entry of collected: its index in the selection, or -1; and whether the selection
    // enters it, for a folder. A folder comes before its contents, so both are known in time.
    tree.plan.entries.reserve(all.size());
    std::vector<std::int32_t> selected(all.size(), -1);
    std::vector<bool> entered(all.size(), false);
    for (size_t i = 0; i < all.size(); ++i) {
        const PlannedEntry& found = all[i];
        bool reached = found.parent < 0 || entered[static_cast<size_t>(found.parent)];
        if (!reached)
            continue;
        bool shown = selection.hidden || !IsHiddenOrSystem(found);
        entered[i] = found.isFolder && selection.subfolders && shown;
        if (!shown || !(found.isFolder ? selection.folders : selection.files)) {
            tree.held.push_back(HeldName{found.folder, std::wstring(collected.Name(found))});
            continue;
        }
        selected[i] = static_cast<std::int32_t>(tree.plan.entries.size());
        if (source)
            source->push_back(static_cast<std::int32_t>(i));
        PlannedEntry& entry = tree.plan.entries.emplace_back();
        entry.name = found.name;
        entry.parent = found.parent < 0 ? -1 : selected[static_cast<size_t>(found.parent)];
        entry.folder = found.folder;
        entry.volume = found.volume;
        entry.attributes = found.attributes;
        entry.size = found.size;
        entry.lastWrite = found.lastWrite;
        entry.isFolder = found.isFolder;
    }
    // The progress bar counts the entries the run works on.
    tree.plan.progressTotal = static_cast<std::int32_t>(std::max<size_t>(tree.plan.entries.size(), 1));
    return tree;
}

RunPlan PlanReplace(const RunPlan& collected, const ReplaceSelection& selection, const CompiledReplace& rule,
                    const PlanCancelled& cancelled)
{
    RunOptions options;
    options.mode = ModeFindReplace;
    options.replace = &rule;
    return PlanRun(SelectEntries(collected, selection), options, cancelled);
}
