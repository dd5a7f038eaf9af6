// Keeps the tests off the user's own registry: a test program's roots redirected to scratch keys,
// and, for the real Nomaro.exe that cannot be redirected, its keys put back as they were.
#include "ScratchRegistry.h"

#include "UniqueHandle.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr wchar_t kScratchParent[] = L"Software\\Nomaro Tests";
constexpr wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
std::atomic<unsigned> scratchCounter{0};

std::wstring RootName(HKEY root)
{
    if (root == HKEY_CURRENT_USER)
        return L"HKEY_CURRENT_USER";
    if (root == HKEY_CLASSES_ROOT)
        return L"HKEY_CLASSES_ROOT";
    return L"root" + std::to_wstring(reinterpret_cast<ULONG_PTR>(root) & 0xff);
}

UniqueKey OpenKey(HKEY root, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

UniqueKey CreateKey(HKEY root, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

// The longest leading part of path that exists now (empty: only the root).
std::wstring ExistingAncestor(HKEY root, const std::wstring& path)
{
    std::wstring existing;
    for (size_t end = 0; end != std::wstring::npos;) {
        end = path.find(L'\\', end + 1);
        std::wstring prefix = path.substr(0, end);
        if (!OpenKey(root, prefix, KEY_READ))
            break;
        existing = prefix;
    }
    return existing;
}

// Removes the keys from path up to (not including) existingAncestor, deepest first, as long as they
// hold no subkeys: the keys that a test run made along the way.
void RemoveKeysMadeSince(HKEY root, std::wstring path, const std::wstring& existingAncestor)
{
    while (path.size() > existingAncestor.size()) {
        LSTATUS status = RegDeleteKeyW(root, path.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return;
        size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos)
            return;
        path.resize(slash);
    }
}

void DeleteScratchKey(const std::wstring& path)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    // Only when no other run still holds a key there.
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);
}

} // namespace

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring NewScratchKeyPath()
{
    return std::wstring(kScratchParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(scratchCounter++);
}

void ScratchRegistry::SetUp()
{
    scratchPath_ = NewScratchKeyPath();
    // Every scratch key and copy is made before any root is redirected: the scratch keys live under
    // the real HKEY_CURRENT_USER, and the copies come from the real roots.
    std::vector<UniqueKey> scratchKeys;
    for (const Root& root : roots_) {
        UniqueKey scratch = CreateKey(HKEY_CURRENT_USER, scratchPath_ + L"\\" + RootName(root.root), KEY_ALL_ACCESS);
        ASSERT_TRUE(scratch.valid()) << "no scratch key for the registry";
        for (const std::wstring& path : root.copied) {
            UniqueKey real = OpenKey(root.root, path, KEY_READ);
            if (!real)
                continue;
            UniqueKey copy = CreateKey(scratch.get(), path, KEY_ALL_ACCESS);
            ASSERT_TRUE(copy.valid());
            ASSERT_EQ(RegCopyTreeW(real.get(), nullptr, copy.get()), ERROR_SUCCESS);
        }
        scratchKeys.push_back(std::move(scratch));
    }
    for (size_t i = 0; i < roots_.size(); ++i)
        ASSERT_EQ(RegOverridePredefKey(roots_[i].root, scratchKeys[i].get()), ERROR_SUCCESS) << "cannot redirect the registry";
    // The user's local application data holds Nomaro's undo journals: a run made by a test keeps
    // its journal in a folder of the test program's own.
    for (const Root& root : roots_) {
        if (root.root != HKEY_CURRENT_USER)
            continue;
        localAppData_ = std::make_unique<TempFolder>();
        const std::wstring& folder = localAppData_->path();
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, L"Local AppData", REG_EXPAND_SZ, folder.c_str(),
                                  static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
}

void ScratchRegistry::TearDown()
{
    localAppData_.reset();
    for (const Root& root : roots_)
        RegOverridePredefKey(root.root, nullptr);
    if (!scratchPath_.empty())
        DeleteScratchKey(scratchPath_);
}

testing::Environment* RedirectRegistryForTheRun(std::vector<ScratchRegistry::Root> roots)
{
    return testing::AddGlobalTestEnvironment(new ScratchRegistry(std::move(roots)));
}

SavedRegistryKey::SavedRegistryKey(HKEY root, std::wstring path) : root_(root), path_(std::move(path))
{
    existingAncestor_ = ExistingAncestor(root_, path_);
    UniqueKey key = OpenKey(root_, path_, KEY_READ);
    if (!key) {
        saved_ = true;
        return;
    }
    existed_ = true;
    copyPath_ = NewScratchKeyPath();
    UniqueKey copy = CreateKey(HKEY_CURRENT_USER, copyPath_, KEY_ALL_ACCESS);
    saved_ = copy && RegCopyTreeW(key.get(), nullptr, copy.get()) == ERROR_SUCCESS;
}

SavedRegistryKey::~SavedRegistryKey()
{
    if (!saved_) {
        if (!copyPath_.empty())
            DeleteScratchKey(copyPath_);
        return;
    }
    RegDeleteTreeW(root_, path_.c_str());
    if (!existed_) {
        RemoveKeysMadeSince(root_, path_, existingAncestor_);
        return;
    }
    UniqueKey copy = OpenKey(HKEY_CURRENT_USER, copyPath_, KEY_READ);
    UniqueKey key = CreateKey(root_, path_, KEY_ALL_ACCESS);
    if (copy && key && RegCopyTreeW(copy.get(), nullptr, key.get()) == ERROR_SUCCESS)
        DeleteScratchKey(copyPath_);
    else
        fwprintf(stderr, L"could not put %ls back; its copy is kept in HKEY_CURRENT_USER\\%ls\n", path_.c_str(),
                 copyPath_.c_str());
}

SavedRegistryValue::SavedRegistryValue(HKEY root, std::wstring keyPath, std::wstring name)
    : root_(root), keyPath_(std::move(keyPath)), name_(std::move(name))
{
    existingAncestor_ = ExistingAncestor(root_, keyPath_);
    UniqueKey key = OpenKey(root_, keyPath_, KEY_QUERY_VALUE);
    if (!key) {
        saved_ = true;
        return;
    }
    const wchar_t* valueName = name_.empty() ? nullptr : name_.c_str();
    for (;;) {
        DWORD size = static_cast<DWORD>(bytes_.size());
        LSTATUS status = RegQueryValueExW(key.get(), valueName, nullptr, &type_, bytes_.empty() ? nullptr : bytes_.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            saved_ = true;
            return;
        }
        if (status == ERROR_SUCCESS && (!bytes_.empty() || size == 0)) {
            bytes_.resize(size);
            existed_ = saved_ = true;
            return;
        }
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return;
        bytes_.resize(size > 0 ? size : 1);
    }
}

SavedRegistryValue::~SavedRegistryValue()
{
    if (!saved_)
        return;
    const wchar_t* valueName = name_.empty() ? nullptr : name_.c_str();
    if (existed_) {
        UniqueKey key = CreateKey(root_, keyPath_, KEY_SET_VALUE);
        if (key)
            RegSetValueExW(key.get(), valueName, 0, type_, bytes_.data(), static_cast<DWORD>(bytes_.size()));
        return;
    }
    if (UniqueKey key = OpenKey(root_, keyPath_, KEY_SET_VALUE))
        RegDeleteValueW(key.get(), valueName);
    RemoveKeysMadeSince(root_, keyPath_, existingAncestor_);
}

RedirectedShellFolder::RedirectedShellFolder(const std::wstring& valueName, const std::wstring& folder)
    : userShellFolder_(HKEY_CURRENT_USER, kUserShellFolders, valueName),
      shellFolder_(HKEY_CURRENT_USER, kShellFolders, valueName)
{
    if (!userShellFolder_.saved() || !shellFolder_.saved())
        return;
    made_ = RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, valueName.c_str(), REG_EXPAND_SZ, folder.c_str(),
                            static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
