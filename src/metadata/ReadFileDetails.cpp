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

// The readers ask for a few bytes at a time, mostly near each other. The first read takes the
// file's first 64 KiB, which holds the whole metadata of most files; a read beyond it (the frame
// after an MP3's cover art, the frame header after a JPEG's thumbnail) takes 8 KiB there.
constexpr size_t kFirstReadBytes = 64 * 1024;
constexpr size_t kLaterReadBytes = 8 * 1024;

class FileByteSource : public ByteSource {
public:
    FileByteSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    size_t Read(std::uint64_t offset, char* out, size_t size) override
    {
        if (offset >= size_)
            return 0;
        size = static_cast<size_t>(std::min<std::uint64_t>(size, size_ - offset));
        if (size > kFirstReadBytes)
            return ReadDirect(offset, out, size);
        if (offset < cacheStart_ || offset + size > cacheStart_ + cache_.size()) {
            size_t block = std::max(size, filled_ ? kLaterReadBytes : kFirstReadBytes);
            filled_ = true;
            cacheStart_ = offset;
            cache_.resize(block);
            cache_.resize(ReadDirect(offset, cache_.data(), static_cast<size_t>(std::min<std::uint64_t>(block, size_ - offset))));
        }
        size_t from = static_cast<size_t>(offset - cacheStart_);
        size_t count = std::min(size, cache_.size() - std::min(from, cache_.size()));
        if (count > 0)
            std::memcpy(out, cache_.data() + from, count);
        return count;
    }

private:
    size_t ReadDirect(std::uint64_t offset, char* out, size_t size)
    {
        size_t done = 0;
        while (done < size) {
            OVERLAPPED at{};
            std::uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            DWORD wanted = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_, out + done, wanted, &got, &at) || got == 0)
                break;
            done += got;
        }
        return done;
    }

    HANDLE file_;
    std::uint64_t size_;
    std::vector<char> cache_;
    std::uint64_t cacheStart_ = 0;
    bool filled_ = false;
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
