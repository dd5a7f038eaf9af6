// A real volume that is full but for the room a case needs.
#include "FullVolume.h"

#include "TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

constexpr wchar_t kRoot[] = L"F:\\";
constexpr wchar_t kMarker[] = L"F:\\nomaro-test-volume";
constexpr wchar_t kFiller[] = L"F:\\filler";

} // namespace

std::string FullVolume::Unavailable()
{
    // Only the volume the test environment made is ever filled: on a developer's own machine F:
    // may be a real drive.
    if (GetFileAttributesW(kMarker) == INVALID_FILE_ATTRIBUTES)
        return "no small volume to fill: the Wine test environment mounts one as F: where it may mount a tmpfs";
    return std::string();
}

FullVolume::FullVolume() : folder_(std::wstring(kRoot) + L"work")
{
    Empty();
    RemoveTree(folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
}

FullVolume::~FullVolume()
{
    Empty();
    RemoveTree(folder_);
}

std::uint64_t FullVolume::FreeBytes()
{
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExW(kRoot, &available, nullptr, nullptr);
    return available.QuadPart;
}

void FullVolume::Empty()
{
    DeleteFileW(kFiller);
}

bool FullVolume::LeaveFree(std::uint64_t bytes)
{
    Empty();
    HANDLE filler = CreateFileW(kFiller, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (filler == INVALID_HANDLE_VALUE)
        return false;
    // Big pieces while they fit, then single blocks to the last one.
    std::vector<char> piece(1024 * 1024, 'f');
    for (DWORD size = static_cast<DWORD>(piece.size()); size >= kBlock; size /= 2) {
        DWORD written = 0;
        while (WriteFile(filler, piece.data(), size, &written, nullptr) && written == size) {
        }
    }
    LARGE_INTEGER length{};
    GetFileSizeEx(filler, &length);
    // The filler takes whole blocks, its last one perhaps in part: cut back by the room asked for.
    std::uint64_t blocks = (static_cast<std::uint64_t>(length.QuadPart) + kBlock - 1) / kBlock;
    LARGE_INTEGER cut{};
    cut.QuadPart = std::min(length.QuadPart, static_cast<LONGLONG>(blocks * kBlock) - static_cast<LONGLONG>(bytes));
    // Wine reports a full disk for an end of file set where it already is: only a real cut is made.
    bool cutBack = cut.QuadPart == length.QuadPart ||
                   (cut.QuadPart >= 0 && SetFilePointerEx(filler, cut, nullptr, FILE_BEGIN) && SetEndOfFile(filler));
    CloseHandle(filler);
    return cutBack && FreeBytes() == bytes;
}
