// A path that few of many records have, in the room of one pointer: a run of a million steps
// keeps a result for each, and only a stranded move names a path.
#pragma once

#include <memory>
#include <string>

class RarePath {
public:
    RarePath() = default;
    RarePath(std::wstring path) { *this = std::move(path); }
    RarePath(const RarePath& other) { *this = other.str(); }
    RarePath& operator=(const RarePath& other)
    {
        if (this != &other)
            *this = other.str();
        return *this;
    }
    RarePath(RarePath&&) noexcept = default;
    RarePath& operator=(RarePath&&) noexcept = default;
    RarePath& operator=(std::wstring path)
    {
        text_ = path.empty() ? nullptr : std::make_unique<std::wstring>(std::move(path));
        return *this;
    }

    bool empty() const { return !text_; }
    const std::wstring& str() const
    {
        static const std::wstring none;
        return text_ ? *text_ : none;
    }
    operator const std::wstring&() const { return str(); }
    bool operator==(const RarePath& other) const { return str() == other.str(); }

private:
    std::unique_ptr<std::wstring> text_;
};
