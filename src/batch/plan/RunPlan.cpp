// The plan of a run in numbers and in words, as the preview and the end report show it.
#include "RunPlan.h"

#include "AsciiCase.h"
#include "CaseOperations.h"

namespace {
constexpr wchar_t kRenamed[] = L"Renamed";
constexpr wchar_t kTagWritten[] = L"tag written";
constexpr wchar_t kReadOnlyCleared[] = L"read-only mark cleared";
constexpr wchar_t kAlreadyRight[] = L"Already right";
constexpr wchar_t kCannotChange[] = L"Cannot change";
constexpr wchar_t kCollectedTwice[] = L"Collected twice: already renamed";
constexpr wchar_t kTakenFromModified[] = L" (no date taken: its modified date used)";

// "Renamed, tag written": the changes in the order the user thinks of them, the first one capitalised.
std::wstring DescribeChanges(const PlannedEntry& entry)
{
    std::wstring text;
    auto add = [&text](const wchar_t* part) {
        if (!text.empty())
            text += L", ";
        text += part;
    };
    if (entry.Renames())
        add(kRenamed);
    if (entry.writeTag)
        add(kTagWritten);
    if (entry.clearReadOnly)
        add(kReadOnlyCleared);
    if (!text.empty() && text[0] >= L'a' && text[0] <= L'z')
        text[0] = static_cast<wchar_t>(text[0] - L'a' + L'A');
    return text;
}
// True when newName is name with each unit passed through fold.
bool IsFolded(std::wstring_view name, std::wstring_view newName, wchar_t (*fold)(wchar_t))
{
    if (name.size() != newName.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (fold(name[i]) != newName[i])
            return false;
    }
    return true;
}
} // namespace

std::wstring RunPlan::Path(const PlannedEntry& entry) const
{
    std::wstring path;
    names->SpellDisplayPath(entry.folder, Name(entry), path);
    return path;
}

std::wstring RunPlan::FolderPath(const PlannedEntry& entry) const
{
    std::wstring path(1, L'.');
    names->AppendFolderPath(entry.folder, path);
    return path;
}

std::wstring RunPlan::NewNameOf(const PlannedEntry& entry) const
{
    switch (entry.newName) {
    case NewName::Lowered:
        return CaseConvertedName(Name(entry), ModeLower);
    case NewName::Uppered:
        return CaseConvertedName(Name(entry), ModeUpper);
    case NewName::Given:
        return std::wstring(newNames.Get(entry.givenName));
    case NewName::Own:
        break;
    }
    return std::wstring(Name(entry));
}

std::wstring_view RunPlan::NewNameIn(const PlannedEntry& entry, std::wstring& spelling) const
{
    switch (entry.newName) {
    case NewName::Lowered:
    case NewName::Uppered:
        spelling = NewNameOf(entry);
        return spelling;
    case NewName::Given:
        return newNames.Get(entry.givenName);
    case NewName::Own:
        break;
    }
    return Name(entry);
}

std::wstring RunPlan::TagText(const PlannedEntry& entry) const
{
    std::wstring newName = NewNameOf(entry);
    return newName.substr(0, newName.find_last_of(L'.'));
}

void RunPlan::SetNewName(PlannedEntry& entry, std::wstring_view newName)
{
    std::wstring_view name = Name(entry);
    if (newName == name) {
        entry.newName = NewName::Own;
    } else if (IsFolded(name, newName, FoldAsciiLower)) {
        // Most new names of a case run: nothing to keep, it is spelt again when asked for.
        entry.newName = NewName::Lowered;
    } else if (IsFolded(name, newName, FoldAsciiUpper)) {
        entry.newName = NewName::Uppered;
    } else {
        entry.newName = NewName::Given;
        entry.givenName = newNames.Add(newName);
    }
}

PlanSummary SummarizePlan(const RunPlan& plan)
{
    PlanSummary summary;
    summary.entries = plan.entries.size();
    for (const PlannedEntry& entry : plan.entries) {
        switch (entry.status) {
        case PlanStatus::WillChange:
            summary.toRename += entry.Renames() ? 1 : 0;
            summary.readOnlyToClear += entry.clearReadOnly ? 1 : 0;
            summary.tagsToWrite += entry.writeTag ? 1 : 0;
            break;
        case PlanStatus::AlreadyRight:
            ++summary.alreadyRight;
            break;
        case PlanStatus::CannotChange:
            ++summary.cannotChange;
            break;
        }
    }
    return summary;
}

// Why a new name was refused, in words: "reserved for a device".
static const wchar_t* RefusalReasonText(PlanReason reason)
{
    switch (reason) {
    case PlanReason::NameHeld:
        return L"held by another entry";
    case PlanReason::NameReserved:
        return L"reserved for a device";
    case PlanReason::NameTooLong:
        return L"too long";
    case PlanReason::NameBlank:
        return L"empty or only dots and blanks";
    case PlanReason::NameBadCharacter:
        return L"holds a character names cannot have (\\ / : * ? \" < > | or a control character)";
    case PlanReason::NameEndsBadly:
        return L"ends in a dot or a blank";
    case PlanReason::PathTooLong:
        return L"the path would be too long";
    case PlanReason::NameClaimedTwice:
        return L"another entry of the folder would get it too";
    case PlanReason::NoDateTaken:
        return L"no date taken";
    case PlanReason::NoModifiedDate:
        return L"no modified date";
    case PlanReason::NoCreatedDate:
        return L"no created date";
    case PlanReason::NoCameraMake:
        return L"no camera make";
    case PlanReason::NoCameraModel:
        return L"no camera model";
    case PlanReason::NoPictureSize:
        return L"no picture size";
    case PlanReason::NoArtist:
        return L"no artist";
    case PlanReason::NoAlbum:
        return L"no album";
    case PlanReason::NoTitle:
        return L"no title";
    case PlanReason::NoTrackNumber:
        return L"no track number";
    case PlanReason::NoDiscNumber:
        return L"no disc number";
    case PlanReason::NoYear:
        return L"no year";
    case PlanReason::NoGenre:
        return L"no genre";
    case PlanReason::TakenFromModified:
    case PlanReason::CollectedTwice:
    case PlanReason::None:
        break;
    }
    return L"cannot be given";
}

std::wstring RefusalText(const RunPlan& plan, const PlannedEntry& entry)
{
    // A missing value refuses no name; an empty name would show as nothing before its colon.
    if (IsMissingValue(entry.reason))
        return RefusalReasonText(entry.reason);
    std::wstring newName = plan.NewNameOf(entry);
    if (newName.empty())
        return RefusalReasonText(entry.reason);
    return newName + L": " + RefusalReasonText(entry.reason);
}

std::wstring DescribePlannedEntry(const RunPlan& plan, const PlannedEntry& entry)
{
    if (entry.reason == PlanReason::CollectedTwice)
        return kCollectedTwice;
    if (entry.status == PlanStatus::CannotChange)
        return std::wstring(kCannotChange) + L" (" + RefusalText(plan, entry) + L")";
    switch (entry.status) {
    case PlanStatus::WillChange: {
        std::wstring changes = DescribeChanges(entry);
        if (changes.empty())
            return kAlreadyRight;
        return entry.reason == PlanReason::TakenFromModified ? changes + kTakenFromModified : changes;
    }
    case PlanStatus::CannotChange:
    case PlanStatus::AlreadyRight:
        break;
    }
    return kAlreadyRight;
}
