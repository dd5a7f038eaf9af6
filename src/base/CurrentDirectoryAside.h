// Keeps the process's current directory out of the folders a run renames.
#pragma once

#include <string>

// While it lives, the current directory is the system folder; then it is put back. Windows holds
// a process's current directory open, and a folder held open cannot be renamed: started from
// inside the tree it works on, a run would otherwise keep that folder from its new name.
class CurrentDirectoryAside {
public:
    CurrentDirectoryAside();
    ~CurrentDirectoryAside();
    CurrentDirectoryAside(const CurrentDirectoryAside&) = delete;
    CurrentDirectoryAside& operator=(const CurrentDirectoryAside&) = delete;

private:
    std::wstring saved_;
};
