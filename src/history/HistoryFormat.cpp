// The bytes of the history file and of the index files.
#include "HistoryFormat.h"

namespace {

// Reads the fields of one buffer front to back and never past its end.
class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return position_ == bytes_.size(); }

    bool ReadInt(std::uint32_t& value)
    {
        if (bytes_.size() - position_ < 4)
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes_[position_ + static_cast<size_t>(i)]);
        position_ += 4;
        return true;
    }

    bool ReadString(std::wstring& text)
    {
        std::uint32_t units = 0;
        if (!ReadInt(units) || units > kMaxStoredStringUnits || (bytes_.size() - position_) / 2 < units)
            return false;
        text.resize(units);
        for (std::uint32_t i = 0; i < units; ++i) {
            unsigned char low = static_cast<unsigned char>(bytes_[position_]);
            unsigned char high = static_cast<unsigned char>(bytes_[position_ + 1]);
            text[i] = static_cast<wchar_t>(low | (high << 8));
            position_ += 2;
        }
        return true;
    }

private:
    std::string_view bytes_;
    size_t position_ = 0;
};

void PutInt(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutString(std::string& out, std::wstring_view text)
{
    PutInt(out, static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

bool Storable(std::wstring_view text)
{
    return text.size() <= kMaxStoredStringUnits;
}

} // namespace

bool ReadHistoryRecords(std::string_view bytes, PathList& store)
{
    RecordReader reader(bytes);
    while (!reader.AtEnd()) {
        std::uint32_t count = 0;
        std::wstring folder;
        std::wstring index;
        if (!reader.ReadInt(count) || !reader.ReadString(folder) || !reader.ReadString(index))
            return false;
        Append(store, folder, static_cast<std::int32_t>(count), &index);
    }
    return true;
}

bool ReadIndexEntries(std::string_view bytes, PathList& list)
{
    RecordReader reader(bytes);
    std::wstring path;
    while (!reader.AtEnd()) {
        if (!reader.ReadString(path))
            return false;
        Append(list, path);
    }
    return true;
}

std::string EncodeHistory(const PathList& store)
{
    std::string out;
    for (const PathEntry* record = store.head; record; record = record->next) {
        std::wstring_view index = record->secondPath ? std::wstring_view(*record->secondPath) : std::wstring_view();
        if (!Storable(record->path) || !Storable(index))
            continue;
        PutInt(out, static_cast<std::uint32_t>(record->count));
        PutString(out, record->path);
        PutString(out, index);
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
    bool handedOn = true;
    entriesWritten = 0;
    auto put = [&](std::wstring_view path) {
        if (!handedOn || !Storable(path))
            return;
        PutString(out, path);
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
