// Names kept once each in blocks of characters, reached by a number: a tree of a million
// entries would otherwise hold a million strings, each an allocation of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class NamePool {
public:
    using NameId = std::uint32_t;

    NamePool() = default;
    NamePool(const NamePool& other);
    NamePool& operator=(const NamePool& other);
    NamePool(NamePool&&) noexcept = default;
    NamePool& operator=(NamePool&&) noexcept = default;

    // Keeps a copy of name (at most kMaxNameUnits units) and gives its number.
    NameId Add(std::wstring_view name);
    // The name kept under id; it stays where it is until the pool is cleared or goes.
    std::wstring_view Get(NameId id) const;
    // Forgets every name but keeps the room, for the next plan of the same size.
    void Clear();

    // Longer than any name or path Windows makes.
    static constexpr size_t kMaxNameUnits = 32767;

private:
    // Each name is its length and its units; a block holds whole names only, so that a number
    // is a block and a place in it.
    static constexpr unsigned kBlockBits = 16;
    static constexpr size_t kBlockUnits = size_t{1} << kBlockBits;

    std::vector<std::unique_ptr<wchar_t[]>> blocks_;
    size_t block_ = 0; // the block being filled
    size_t used_ = 0;  // units used in it
};
