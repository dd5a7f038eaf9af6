// The texts read from a tree's files, each kept once, in UTF-8 in blocks.
#include "DetailTexts.h"

#include <algorithm>

namespace {

// UTF-16 units as UTF-8, a lone surrogate as the three bytes of its own number, so that every
// unit comes back as it was.
void Encode(std::wstring_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t point = static_cast<std::uint16_t>(text[i]);
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size()) {
            std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (point < 0x80) {
            out.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (point >> 6)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (point >> 12)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (point >> 18)));
            out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }
}

// Bytes Encode wrote, back to UTF-16 units.
void Decode(std::string_view bytes, std::wstring& out)
{
    out.clear();
    for (size_t i = 0; i < bytes.size();) {
        auto byte = [&](size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k])); };
        std::uint32_t lead = byte(0);
        std::uint32_t point = 0;
        if (lead < 0x80) {
            point = lead;
            i += 1;
        } else if (lead < 0xE0) {
            point = ((lead & 0x1F) << 6) | (byte(1) & 0x3F);
            i += 2;
        } else if (lead < 0xF0) {
            point = ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
            i += 3;
        } else {
            point = ((lead & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
            i += 4;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(point));
        }
    }
}

size_t HashOf(std::string_view bytes)
{
    // FNV-1a: texts are short, and the index only needs them spread.
    std::uint64_t hash = 14695981039346656037ull;
    for (char unit : bytes) {
        hash ^= static_cast<unsigned char>(unit);
        hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash ^ (hash >> 32));
}

} // namespace

std::string_view DetailTexts::Stored(TextId id) const
{
    const char* at = blocks_[id >> kBlockBits].get() + (id & (kBlockBytes - 1));
    size_t length = static_cast<unsigned char>(at[0]) | (static_cast<size_t>(static_cast<unsigned char>(at[1])) << 8);
    return std::string_view(at + 2, length);
}

void DetailTexts::Grow()
{
    std::vector<TextId> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, kEmpty);
    size_t mask = slots_.size() - 1;
    for (TextId id : old) {
        if (id == kEmpty)
            continue;
        size_t at = HashOf(Stored(id)) & mask;
        while (slots_[at] != kEmpty)
            at = (at + 1) & mask;
        slots_[at] = id;
    }
}

DetailTexts::TextId DetailTexts::Add(std::wstring_view text)
{
    if (text.empty())
        return kEmpty;
    Encode(text.substr(0, kMaxUnits), encoded_);
    // Three quarters full at most: a text is found in a probe or two.
    if ((count_ + 1) * 4 > slots_.size() * 3)
        Grow();
    size_t mask = slots_.size() - 1;
    size_t at = HashOf(encoded_) & mask;
    for (; slots_[at] != kEmpty; at = (at + 1) & mask) {
        if (Stored(slots_[at]) == encoded_)
            return slots_[at];
    }
    size_t bytes = 2 + encoded_.size();
    if (used_ + bytes > kBlockBytes) {
        blocks_.push_back(std::make_unique<char[]>(kBlockBytes));
        // The first place of the first block would be the number of the empty text.
        used_ = blocks_.size() == 1 ? 1 : 0;
    }
    char* place = blocks_.back().get() + used_;
    place[0] = static_cast<char>(encoded_.size() & 0xFF);
    place[1] = static_cast<char>(encoded_.size() >> 8);
    std::copy(encoded_.begin(), encoded_.end(), place + 2);
    TextId id = static_cast<TextId>(((blocks_.size() - 1) << kBlockBits) | used_);
    used_ += bytes;
    slots_[at] = id;
    ++count_;
    return id;
}

void DetailTexts::Get(TextId id, std::wstring& out) const
{
    if (id == kEmpty)
        out.clear();
    else
        Decode(Stored(id), out);
}

std::wstring DetailTexts::Get(TextId id) const
{
    std::wstring text;
    Get(id, text);
    return text;
}

size_t DetailTexts::Bytes() const
{
    return blocks_.size() * kBlockBytes + slots_.capacity() * sizeof(TextId);
}
