// Which run Undo would take back now: the newest journal that can be read, with the newer ones
// that could not be, and reading that journal whole.
#include "UndoOffer.h"

#include "JournalFileName.h"
#include "JournalStore.h"

#include <algorithm>

static FILETIME NameTime(const SYSTEMTIME& utc)
{
    FILETIME time{};
    SystemTimeToFileTime(&utc, &time);
    return time;
}

static bool Later(const FILETIME& a, const FILETIME& b)
{
    return CompareFileTime(&a, &b) > 0;
}

UndoOffer FindUndoOffer(const std::wstring& journalFolder)
{
    UndoOffer offer;
    if (journalFolder.empty())
        return offer;
    FILETIME offerTime{};
    for (const std::wstring& name : ListJournals(journalFolder)) {
        std::wstring path = journalFolder + L"\\" + name;
        std::string bytes;
        SYSTEMTIME utc;
        // An empty journal is a name reserved by a run that never began: nothing is changed before
        // its journal is durable.
        if (!ReadJournalFile(path, bytes, kMaxJournalHeaderSize) || bytes.empty() || !ParseJournalFileName(name, utc))
            continue;
        JournalHeader header;
        if (DecodeJournalHeader(bytes, header)) {
            offer.journalPath = path;
            offer.header = header;
            offerTime = NameTime(utc);
            break;
        }
        offer.unreadable.push_back({path, NameTime(utc), false});
    }
    for (const std::wstring& name : ListSetAsideJournals(journalFolder)) {
        SYSTEMTIME utc;
        ParseSetAsideJournalName(name, utc);
        FILETIME time = NameTime(utc);
        if (offer.journalPath.empty() || Later(time, offerTime))
            offer.unreadable.push_back({journalFolder + L"\\" + name, time, true});
    }
    std::stable_sort(offer.unreadable.begin(), offer.unreadable.end(),
                     [](const UnreadableJournal& a, const UnreadableJournal& b) { return Later(a.time, b.time); });
    return offer;
}

bool LoadJournal(const std::wstring& journalPath, RunJournalData& journal)
{
    std::string bytes;
    return ReadJournalFile(journalPath, bytes, SIZE_MAX) && DecodeJournal(bytes, journal);
}
