// The texts read from a tree's files (camera makes and models, artists, albums, titles), each kept
// once, in UTF-8 in blocks, reached by a number: the artist of a thousand songs takes the room of
// one, and a song's own title little more than its letters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class DetailTexts {
public:
    using TextId = std::uint32_t;
    // The number of the empty text, which takes no room.
    static constexpr TextId kEmpty = 0;
    // The longest text kept, in UTF-16 units; a longer one is cut there.
    static constexpr size_t kMaxUnits = 4096;

    // The number of text, kept the first time it is given; every unit comes back as it was, a lone
    // surrogate too.
    TextId Add(std::wstring_view text);
    // The text kept under id, into out (which keeps its room from text to text).
    void Get(TextId id, std::wstring& out) const;
    std::wstring Get(TextId id) const;
    // The memory the texts and their index take.
    size_t Bytes() const;

private:
    std::string_view Stored(TextId id) const;
    void Grow();

    // A text is its length in two bytes, then its bytes; a block holds whole texts, so that a
    // number is a block and a place in it.
    static constexpr unsigned kBlockBits = 16;
    static constexpr size_t kBlockBytes = size_t{1} << kBlockBits;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = kBlockBytes; // in the last block
    // An open-addressing index of the numbers by their texts' hash; 0: a free slot.
    std::vector<TextId> slots_;
    size_t count_ = 0;
    // The text being looked up, in UTF-8.
    std::string encoded_;
};
