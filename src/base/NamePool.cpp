// Names kept once each in blocks of characters, reached by a number.
#include "NamePool.h"

#include <algorithm>
#include <stdexcept>

NamePool::NamePool(const NamePool& other) : block_(other.block_), used_(other.used_)
{
    for (size_t b = 0; b < other.blocks_.size(); ++b) {
        blocks_.push_back(std::make_unique<wchar_t[]>(kBlockUnits));
        // The blocks after the one being filled hold nothing a number can reach.
        size_t units = b < other.block_ ? kBlockUnits : b == other.block_ ? other.used_ : 0;
        std::copy_n(other.blocks_[b].get(), units, blocks_.back().get());
    }
}

NamePool& NamePool::operator=(const NamePool& other)
{
    if (this != &other)
        *this = NamePool(other);
    return *this;
}

NamePool::NameId NamePool::Add(std::wstring_view name)
{
    if (name.size() > kMaxNameUnits)
        throw std::length_error("a name longer than any Windows makes");
    size_t units = 1 + name.size();
    if (blocks_.empty()) {
        blocks_.push_back(std::make_unique<wchar_t[]>(kBlockUnits));
    } else if (used_ + units > kBlockUnits) {
        if (block_ + 1 == blocks_.size())
            blocks_.push_back(std::make_unique<wchar_t[]>(kBlockUnits));
        ++block_;
        used_ = 0;
    }
    wchar_t* at = blocks_[block_].get() + used_;
    at[0] = static_cast<wchar_t>(name.size());
    std::copy(name.begin(), name.end(), at + 1);
    NameId id = static_cast<NameId>((block_ << kBlockBits) | used_);
    used_ += units;
    return id;
}

std::wstring_view NamePool::Get(NameId id) const
{
    const wchar_t* at = blocks_[id >> kBlockBits].get() + (id & (kBlockUnits - 1));
    return std::wstring_view(at + 1, static_cast<std::uint16_t>(at[0]));
}

void NamePool::Clear()
{
    block_ = 0;
    used_ = 0;
}
