// A file opened for reading only and read in ranges through a small cache, handed to the pure readers.
#include "ReadFileDetails.h"

#include "ByteSource.h"
#include "DetailsReader.h"
#include "PathParts.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The readers ask for a few bytes at a time, mostly near each other. The file's first 64 KiB,
// which hold the whole metadata of most files, are read first and kept; a read beyond them (the
// frame after an MP3's cover art, the header after a JPEG's thumbnail, the last bytes of a tag)
// takes 8 KiB from the 4 KiB boundary before it, so that what lies just before and after comes with it.
constexpr size_t kHeadBytes = 64 * 1024;
constexpr size_t kBlockBytes = 8 * 1024;
constexpr std::uint64_t kBlockAlign = 4 * 1024;

class FileByteSource : public ByteSource {
public:
    FileByteSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    size_t Read(std::uint64_t offset, char* out, size_t size) override
    {
        if (offset >= size_)
            return 0;
        size = static_cast<size_t>(std::min<std::uint64_t>(size, size_ - offset));
        if (size > kHeadBytes)
            return ReadDirect(offset, out, size);
        if (!headRead_) {
            headRead_ = true;
            head_.resize(static_cast<size_t>(std::min<std::uint64_t>(kHeadBytes, size_)));
            head_.resize(ReadDirect(0, head_.data(), head_.size()));
        }
        if (offset + size <= head_.size()) {
            std::memcpy(out, head_.data() + offset, size);
            return size;
        }
        if (offset < blockStart_ || offset + size > blockStart_ + block_.size()) {
            blockStart_ = offset - offset % kBlockAlign;
            size_t length = std::max(kBlockBytes, static_cast<size_t>(offset + size - blockStart_));
            block_.resize(static_cast<size_t>(std::min<std::uint64_t>(length, size_ - blockStart_)));
            block_.resize(ReadDirect(blockStart_, block_.data(), block_.size()));
        }
        size_t from = static_cast<size_t>(offset - blockStart_);
        size_t count = std::min(size, block_.size() - std::min(from, block_.size()));
        if (count > 0)
            std::memcpy(out, block_.data() + from, count);
        return count;
    }

private:
    // Positioned by the file pointer, not by an OVERLAPPED offset: Wine asks its server once more
    // for each read given an offset, which would make reading a tree's tags twice as slow.
    size_t ReadDirect(std::uint64_t offset, char* out, size_t size)
    {
        size_t done = 0;
        while (done < size) {
            LARGE_INTEGER position{};
            position.QuadPart = static_cast<LONGLONG>(offset + done);
            DWORD wanted = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
            DWORD got = 0;
            if (!SetFilePointerEx(file_, position, nullptr, FILE_BEGIN) || !ReadFile(file_, out + done, wanted, &got, nullptr) ||
                got == 0)
                break;
            done += got;
        }
        return done;
    }

    HANDLE file_;
    std::uint64_t size_;
    std::vector<char> head_;
    bool headRead_ = false;
    std::vector<char> block_;
    std::uint64_t blockStart_ = 0;
};

std::wstring_view ExtensionOf(std::wstring_view path)
{
    std::wstring_view name = LastComponent(path);
    size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
}

} // namespace

FileDetails ReadFileDetails(const std::wstring& path, unsigned wanted)
{
    UniqueHandle<FileHandleTraits> file(CreateFileW(path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return {};
    FileByteSource source(file.get(), static_cast<std::uint64_t>(size.QuadPart));
    return ReadFileDetailsFrom(source, wanted, ExtensionOf(path));
}
