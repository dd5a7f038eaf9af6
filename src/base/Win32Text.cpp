// Wrappers for the Win32 calls that return text: sized calls that grow and retry, and error texts.
#include "Win32Text.h"

#include "UniqueHandle.h"

std::wstring GetCurrentDirectoryString()
{
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(text.size()), text.data());
        if (length == 0)
            return std::wstring();
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
}

std::wstring GetModuleFileNameString(HMODULE module)
{
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(module, text.data(), static_cast<DWORD>(text.size()));
        if (length == 0)
            return std::wstring();
        // A full buffer means the name may have been cut: grow and ask again.
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring SystemErrorText(DWORD error)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer)
        return L"Error " + std::to_wstring(error);
    ScopeExit freeBuffer([buffer] { LocalFree(buffer); });
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring GetFullPathNameString(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

DWORD LastErrorOr(DWORD fallback)
{
    DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? fallback : error;
}
