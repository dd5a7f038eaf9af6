// What a planned entry gives the tokens of a replacement, and the replacement filled in from it.
#include "ReplaceValues.h"

#include "FileDetails.h"
#include "FileTimeTicks.h"
#include "PathParts.h"

std::optional<SYSTEMTIME> LocalClock::Local(const FILETIME& time)
{
    SYSTEMTIME utc{};
    if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !FileTimeToSystemTime(&time, &utc))
        return std::nullopt;
    if (!zone_) {
        zone_.emplace();
        if (GetDynamicTimeZoneInformation(&*zone_) == TIME_ZONE_ID_INVALID)
            zone_->StandardName[0] = L'\0';
    }
    auto year = years_.find(utc.wYear);
    if (year == years_.end()) {
        TIME_ZONE_INFORMATION rules{};
        if (!GetTimeZoneInformationForYear(utc.wYear, &*zone_, &rules))
            GetTimeZoneInformation(&rules);
        year = years_.emplace(utc.wYear, rules).first;
    }
    SYSTEMTIME local{};
    if (!SystemTimeToTzSpecificLocalTime(&year->second, &utc, &local))
        return std::nullopt;
    return local;
}

std::optional<SYSTEMTIME> LocalClock::Shown(const DetailTime& time)
{
    if (!time.Present())
        return std::nullopt;
    SYSTEMTIME recorded{};
    recorded.wYear = time.year;
    recorded.wMonth = time.month;
    recorded.wDay = time.day;
    recorded.wHour = time.hour;
    recorded.wMinute = time.minute;
    recorded.wSecond = time.second > 59 ? 59 : time.second;
    recorded.wMilliseconds = time.millisecond;
    // Through a file time and back, for the day of the week (and a check of the date).
    FILETIME ticks{};
    if (!SystemTimeToFileTime(&recorded, &ticks))
        return std::nullopt;
    if (time.utc)
        return Local(ticks);
    SYSTEMTIME shown{};
    if (!FileTimeToSystemTime(&ticks, &shown))
        return std::nullopt;
    return shown;
}

std::uint64_t ShownTicks(const std::optional<SYSTEMTIME>& time)
{
    FILETIME ticks{};
    return time && SystemTimeToFileTime(&*time, &ticks) ? Ticks(ticks) : 0;
}

void FillNameValues(const RunPlan& plan, const PlannedEntry& entry, size_t i, std::wstring_view root,
                    EntryValues& values, LocalClock* clock)
{
    std::wstring_view name = plan.Name(entry);
    size_t dot = entry.isFolder ? std::wstring_view::npos : name.find_last_of(L'.');
    bool hasExtension = dot != std::wstring_view::npos && dot > 0;
    values.name = hasExtension ? name.substr(0, dot) : name;
    values.extension = hasExtension ? name.substr(dot + 1) : std::wstring_view();
    // ".\Trip\a.jpg" is in "Trip"; ".\a.jpg" in the chosen folder itself.
    if (entry.folder != 0) {
        values.folder = plan.names->FolderName(entry.folder);
    } else {
        size_t end = root.find_last_not_of(L'\\');
        values.folder = LastComponent(end == std::wstring_view::npos ? std::wstring_view() : root.substr(0, end + 1));
    }
    values.position = i;
    if (clock)
        values.modified = clock->Local(entry.lastWrite);
}

PlanReason LackingValue(const CompiledReplace& rule, EntryValues& values)
{
    const ParsedReplacement* tokens = rule.Tokens();
    if (!tokens)
        return PlanReason::None;
    PlanReason lacking = MissingValue(*tokens, values);
    if (lacking != PlanReason::NoDateTaken || !rule.ModifiedForTaken() || !values.photo || !values.modified)
        return lacking;
    values.taken = values.modified;
    lacking = MissingValue(*tokens, values);
    return lacking == PlanReason::None ? PlanReason::TakenFromModified : lacking;
}

bool EntryReplacement(const CompiledReplace& rule, EntryValues& values, const DateNames& names, std::wstring& out,
                      PlanReason& reason)
{
    out.clear();
    reason = LackingValue(rule, values);
    if (reason != PlanReason::None && reason != PlanReason::TakenFromModified)
        return false;
    PlanReason none = PlanReason::None;
    if (const ParsedReplacement* tokens = rule.Tokens())
        ExpandReplacement(*tokens, values, names, rule.DollarsDoubled(), out, none);
    return true;
}
