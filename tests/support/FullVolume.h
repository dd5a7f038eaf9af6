// A real volume that is full but for the room a case needs: the small RAM disk the Wine test
// environment mounts as drive F: (tests/support/wine-env), filled by a file that is then cut back.
#pragma once

#include <cstdint>
#include <string>

class FullVolume {
public:
    // Makes an empty work folder on the volume; see Unavailable first.
    FullVolume();
    // Removes the filler and the work folder: the volume is empty again.
    ~FullVolume();
    FullVolume(const FullVolume&) = delete;
    FullVolume& operator=(const FullVolume&) = delete;

    // Why there is no such volume here (not under the test environment, or it could not mount
    // one); empty when there is.
    static std::string Unavailable();

    // The work folder, F:\work.
    const std::wstring& folder() const { return folder_; }
    // Fills the volume, then frees exactly bytes of it (a multiple of the volume's block); false
    // when the room left is not that.
    bool LeaveFree(std::uint64_t bytes);
    // Frees the filler's room again.
    void Empty();
    static std::uint64_t FreeBytes();

    static constexpr std::uint64_t kBlock = 4096;

private:
    std::wstring folder_;
};
