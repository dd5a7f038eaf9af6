// A plan shown in a list-view control: rows, filter, column widths and summary.
#include "PlanList.h"

#include "PathParts.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <string_view>

namespace {

enum Column { FolderColumn, NameNowColumn, NameAfterColumn, WhatHappensColumn, ColumnCount };
constexpr const wchar_t* kColumnTitles[ColumnCount] = {L"Folder", L"Name now", L"Name after", L"What happens"};
// Only the longest texts of a column, by length, are measured: measuring 100,000 would take Wine
// a second, and a text of fewer characters is seldom wider.
constexpr size_t kMeasuredPerColumn = 40;
// Room for the cell's margins beside its text.
constexpr int kCellPadding = 16;

// What a column shows for an entry. An entry that cannot change keeps its name; the name it was
// refused stands with the reason in "What happens".
std::wstring CellText(const RunPlan& plan, const PlannedEntry& entry, int column)
{
    switch (column) {
    case FolderColumn:
        return plan.FolderPath(entry);
    case NameNowColumn:
        return std::wstring(plan.Name(entry));
    case NameAfterColumn:
        return entry.status == PlanStatus::CannotChange ? std::wstring(plan.Name(entry)) : plan.NewNameOf(entry);
    case WhatHappensColumn:
        return DescribePlannedEntry(plan, entry);
    default:
        return std::wstring();
    }
}

void CopyCellText(LVITEMW& item, std::wstring_view text)
{
    size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
}

} // namespace

PlanList::PlanList(HWND list) : list_(list)
{
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int index = 0; index < ColumnCount; ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumnTitles[index]);
        column.cx = ListView_GetStringWidth(list_, kColumnTitles[index]) + kCellPadding;
        column.iSubItem = index;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
}

void PlanList::Show(const RunPlan* plan, bool changesOnly, const std::vector<std::uint32_t>* order)
{
    // Wine's list lays itself out again at each change of its count or of a column's width, a
    // tenth of a second for 100,000 rows: the changes are made unseen, then laid out once.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    plan_ = plan;
    changesOnly_ = changesOnly;
    order_ = order && plan && order->size() == plan->entries.size() ? order : nullptr;
    shown_.clear();
    filtered_ = changesOnly_;
    size_t rows = 0;
    if (plan_) {
        if (changesOnly_) {
            for (size_t k = 0; k < plan_->entries.size(); ++k) {
                std::uint32_t i = order_ ? (*order_)[k] : static_cast<std::uint32_t>(k);
                if (plan_->entries[i].status != PlanStatus::AlreadyRight)
                    shown_.push_back(i);
            }
        }
        rows = changesOnly_ ? shown_.size() : plan_->entries.size();
    }
    ListView_SetItemCountEx(list_, static_cast<int>(std::min<size_t>(rows, INT_MAX)), 0);
    // The rows mean other entries now. Wine clears a state row by row, a twentieth of a second
    // for 100,000 rows: only a selection is cleared, and the focus is moved, not cleared.
    if (ListView_GetSelectedCount(list_) > 0)
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    if (rows > 0) {
        // Arrow keys start from the first row.
        ListView_SetItemState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(list_, 0, FALSE);
    }
    FitColumns();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

const PlannedEntry* PlanList::EntryOfRow(int row) const
{
    if (!plan_ || row < 0)
        return nullptr;
    size_t index = static_cast<size_t>(row);
    if (filtered_) {
        if (index >= shown_.size())
            return nullptr;
        index = shown_[index];
    } else if (order_) {
        if (index >= order_->size())
            return nullptr;
        index = (*order_)[index];
    }
    return index < plan_->entries.size() ? &plan_->entries[index] : nullptr;
}

void PlanList::OnGetDispInfo(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const PlannedEntry* entry = EntryOfRow(item.iItem);
    if (!entry) {
        item.pszText[0] = L'\0';
        return;
    }
    CopyCellText(item, CellText(*plan_, *entry, item.iSubItem));
}

// The longest texts of a column, by length, among those offered.
class LongestTexts {
public:
    void Offer(size_t length, int row)
    {
        auto shorter = std::greater<std::pair<size_t, int>>();
        if (rows_.size() < kMeasuredPerColumn) {
            rows_.emplace_back(length, row);
            std::push_heap(rows_.begin(), rows_.end(), shorter);
        } else if (length > rows_.front().first) {
            std::pop_heap(rows_.begin(), rows_.end(), shorter);
            rows_.back() = {length, row};
            std::push_heap(rows_.begin(), rows_.end(), shorter);
        }
    }
    void Add(int row) { rows_.emplace_back(0, row); }
    template <typename Each>
    void ForEachRow(Each each) const
    {
        for (const auto& candidate : rows_)
            each(candidate.second);
    }

private:
    std::vector<std::pair<size_t, int>> rows_;
};

// Each column as wide as its title and its widest text, but none wider than the list itself: the
// tip shows a longer text whole. The last one fills the rest of the list.
void PlanList::FitColumns()
{
    LongestTexts candidates[ColumnCount];
    // "What happens" has a handful of texts besides the refusals, which name the refused name:
    // each of those few is measured once, by the kind of change it describes.
    bool describedKinds[64] = {};
    int rows = ListView_GetItemCount(list_);
    for (int row = 0; row < rows; ++row) {
        const PlannedEntry& entry = *EntryOfRow(row);
        candidates[FolderColumn].Offer(1 + plan_->names->FolderPathLength(entry.folder), row);
        candidates[NameNowColumn].Offer(plan_->Name(entry).size(), row);
        bool refused = entry.status == PlanStatus::CannotChange;
        candidates[NameAfterColumn].Offer(refused ? plan_->Name(entry).size() : plan_->NewNameLength(entry), row);
        if (refused) {
            candidates[WhatHappensColumn].Offer(plan_->NewNameLength(entry), row);
            continue;
        }
        unsigned kind = static_cast<unsigned>(entry.status) | (entry.Renames() ? 4u : 0u) | (entry.writeTag ? 8u : 0u) |
                        (entry.clearReadOnly ? 16u : 0u) | (entry.reason != PlanReason::None ? 32u : 0u);
        if (!describedKinds[kind]) {
            describedKinds[kind] = true;
            candidates[WhatHappensColumn].Add(row);
        }
    }
    RECT client{};
    GetClientRect(list_, &client);
    int limit = std::max<int>(client.right - GetSystemMetrics(SM_CXVSCROLL), 60);
    int total = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        int width = ListView_GetStringWidth(list_, kColumnTitles[column]);
        candidates[column].ForEachRow([&](int row) {
            width = std::max(width, ListView_GetStringWidth(list_, CellText(*plan_, *EntryOfRow(row), column).c_str()));
        });
        width = std::min(width + kCellPadding, limit);
        // The last column takes what the others leave, so the rows reach across the list.
        if (column == ColumnCount - 1)
            width = std::max(width, limit - total);
        ListView_SetColumnWidth(list_, column, width);
        total += width;
    }
}

std::wstring PlanSummaryText(const RunPlan& plan)
{
    PlanSummary summary = SummarizePlan(plan);
    bool renames = plan.mode != ModeReadOnly;
    bool clearsMarks = plan.mode == ModeReadOnly || plan.mode == ModeNumber;
    std::wstring text = L"Entries: " + std::to_wstring(summary.entries);
    if (renames)
        text += L", to rename: " + std::to_wstring(summary.toRename);
    if (clearsMarks)
        text += L", read-only marks to clear: " + std::to_wstring(summary.readOnlyToClear);
    if (plan.fillTags)
        text += L", tags to write: " + std::to_wstring(summary.tagsToWrite);
    text += L", already right: " + std::to_wstring(summary.alreadyRight);
    // Only a new name can be refused.
    if (renames)
        text += L", cannot change: " + std::to_wstring(summary.cannotChange);
    return text;
}
