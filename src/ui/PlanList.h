// A plan shown in a list-view control of its owner: one row per entry (folder, name now, name
// after, what happens), the filter for the entries that change or cannot change, column widths
// that fit the texts, and the summary of the counts the plan's mode can have.
#pragma once

#include "RunPlan.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

// The rows of an owner-data list (LVS_OWNERDATA): it holds nothing of its own and asks for each
// visible cell, so showing or filtering 100,000 entries costs one pass over the plan at most.
class PlanList {
public:
    // Adds the four columns to list.
    explicit PlanList(HWND list);

    // Shows plan (which must outlive the rows), every entry or only those that change or cannot change.
    void Show(const RunPlan* plan, bool changesOnly);

    // Fits the columns to the texts again, in the list's font now (after a DPI change).
    void Refit() { FitColumns(); }

    // Answers the list's LVN_GETDISPINFOW.
    void OnGetDispInfo(NMLVDISPINFOW& info) const;

private:
    const PlannedEntry* EntryOfRow(int row) const;
    void FitColumns();

    HWND list_ = nullptr;
    const RunPlan* plan_ = nullptr;
    bool changesOnly_ = false;
    std::vector<std::uint32_t> shown_; // plan indexes of the rows while only the changes are shown
};

// "Entries: 6, to rename: 2, already right: 3, cannot change: 1": the counts the plan's mode can have.
std::wstring PlanSummaryText(const RunPlan& plan);
