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

    // Shows plan (which must outlive the rows), every entry or only those that change or cannot
    // change; in order (plan indexes, which must outlive the rows too), or in the plan's own.
    void Show(const RunPlan* plan, bool changesOnly, const std::vector<std::uint32_t>* order = nullptr);

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
    const std::vector<std::uint32_t>* order_ = nullptr;
    // Plan indexes of the rows while only the changes are shown, or in an order of their own.
    std::vector<std::uint32_t> shown_;
    bool filtered_ = false; // the rows are shown_
};

// "Entries: 6, to rename: 2, already right: 3, cannot change: 1": the counts the plan's mode can have.
std::wstring PlanSummaryText(const RunPlan& plan);
