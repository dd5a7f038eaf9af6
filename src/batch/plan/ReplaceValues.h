// What a planned entry gives the tokens of a Find and Replace replacement: its name's parts, its
// folder's name, its dates as Explorer shows them; and the replacement filled in from them.
#pragma once

#include "ReplaceRule.h"
#include "RunPlan.h"

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

struct DetailTime;

// Fills in, for plan entry i, what its file holds (dates, camera, tags) and its place in the
// counter's order; the planning gives the name, the folder and the modified date before.
using EntryValuesSource = std::function<void(size_t i, EntryValues& values)>;

// File times in local time, by the zone rules of each date's year, each year's looked up once:
// asked of the system for every time, 100,000 entries would take Wine seconds.
class LocalClock {
public:
    // None for a time that is not set.
    std::optional<SYSTEMTIME> Local(const FILETIME& time);
    // A recorded time as it is shown: a camera's clock as it is, a UTC time in local time.
    std::optional<SYSTEMTIME> Shown(const DetailTime& time);

private:
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone_;
    std::map<WORD, TIME_ZONE_INFORMATION> years_;
};

// A time as shown, as file time ticks for comparing; 0 for none.
std::uint64_t ShownTicks(const std::optional<SYSTEMTIME>& time);

// The tokens' view of entry i of plan, a tree at root: values.name, extension, folder (views into
// the plan's names and root, which must outlive values), position i, and, with a clock, modified.
void FillNameValues(const RunPlan& plan, const PlannedEntry& entry, size_t i, std::wstring_view root,
                    EntryValues& values, LocalClock* clock);

// Which value the entry lacks that the rule's tokens need, or None; with the rule's
// modifiedForTaken, a photo or video (values.photo) without a date taken takes its modified date
// (values.taken becomes it) and the reason is then TakenFromModified, for the list to say so. Any
// other file, and a folder, lacks a date taken still.
PlanReason LackingValue(const CompiledReplace& rule, EntryValues& values);

// The rule's replacement with its tokens filled in from values. False, with reason saying which
// value, when the entry lacks one (LackingValue; TakenFromModified where the fallback stood in).
bool EntryReplacement(const CompiledReplace& rule, EntryValues& values, const DateNames& names, std::wstring& out,
                      PlanReason& reason);
