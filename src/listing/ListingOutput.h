// The open listing file with a write buffer, so that a long listing costs few write calls.
#pragma once

#include "base/UniqueHandle.h"

#include <string>
#include <string_view>

class ListingOutput {
public:
    explicit ListingOutput(UniqueFile file);
    ListingOutput(const ListingOutput&) = delete;
    ListingOutput& operator=(const ListingOutput&) = delete;

    // Once a write has failed nothing more is written: the listing cannot be whole any more.
    void Write(std::string_view bytes);
    bool Failed() const { return error_ != ERROR_SUCCESS; }
    // Writes what is buffered and closes the file; the system's error code of the first write or
    // of the close that failed, else ERROR_SUCCESS.
    DWORD Close();

private:
    void Flush();

    UniqueFile file_;
    std::string buffer_;
    DWORD error_ = ERROR_SUCCESS;
};
