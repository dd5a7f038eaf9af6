// The open listing file with a write buffer, so that a long listing costs few write calls.
#pragma once

#include "base/UniqueHandle.h"

#include <string>
#include <string_view>

class ListingOutput {
public:
    explicit ListingOutput(UniqueFile file);
    ~ListingOutput();
    ListingOutput(const ListingOutput&) = delete;
    ListingOutput& operator=(const ListingOutput&) = delete;

    void Write(std::string_view bytes);
    // Hands the buffered bytes to the file; a failed write is dropped and the listing goes on.
    void Flush();

private:
    UniqueFile file_;
    std::string buffer_;
};
