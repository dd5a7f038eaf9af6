// The bytes of the history file and of the index files.
#include "HistoryFormat.h"

#include "ByteCodec.h"

namespace {

bool Storable(std::wstring_view text)
{
    return text.size() <= kMaxStoredStringUnits;
}

} // namespace

bool ReadHistoryRecords(std::string_view bytes, PathList& store)
{
    ByteReader reader(bytes);
    while (!reader.AtEnd()) {
        std::uint32_t count = 0;
        std::wstring folder;
        std::wstring index;
        if (!reader.U32(count) || !reader.Text(folder, kMaxStoredStringUnits) || !reader.Text(index, kMaxStoredStringUnits))
            return false;
        Append(store, folder, static_cast<std::int32_t>(count), &index);
    }
    return true;
}

bool ReadIndexEntries(std::string_view bytes, PathList& list)
{
    ByteReader reader(bytes);
    std::wstring path;
    while (!reader.AtEnd()) {
        if (!reader.Text(path, kMaxStoredStringUnits))
            return false;
        Append(list, path);
    }
    return true;
}

std::string EncodeHistory(const PathList& store)
{
    std::string out;
    ByteWriter writer(out);
    for (const PathEntry* record = store.head; record; record = record->next) {
        std::wstring_view index = record->secondPath ? std::wstring_view(*record->secondPath) : std::wstring_view();
        if (!Storable(record->path) || !Storable(index))
            continue;
        writer.U32(static_cast<std::uint32_t>(record->count));
        writer.Text(record->path);
        writer.Text(index);
    }
    return out;
}

PathSource PathsOf(const PathList& list)
{
    return [&list](const std::function<void(std::wstring_view path)>& put) {
        for (const PathEntry* entry = list.head; entry; entry = entry->next)
            put(entry->path);
    };
}

bool EncodeIndex(const PathList* first, const PathSource& second, std::int32_t& entriesWritten, const ByteSink& sink)
{
    static constexpr size_t kPieceSize = 64 * 1024;
    std::string out;
    ByteWriter writer(out);
    bool handedOn = true;
    entriesWritten = 0;
    auto put = [&](std::wstring_view path) {
        if (!handedOn || !Storable(path))
            return;
        writer.Text(path);
        ++entriesWritten;
        if (out.size() >= kPieceSize) {
            handedOn = sink(out);
            out.clear();
        }
    };
    if (first)
        PathsOf(*first)(put);
    second(put);
    return handedOn && (out.empty() || sink(out));
}

std::string EncodeIndex(const PathList* first, const PathList& second, std::int32_t& entriesWritten)
{
    std::string bytes;
    EncodeIndex(first, PathsOf(second), entriesWritten, [&bytes](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}
