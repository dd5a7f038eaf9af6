// Keeps the tests off the user's own registry: a test program's roots redirected to scratch keys,
// and, for the real Nomaro.exe that cannot be redirected, its keys put back as they were.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "TempFolder.h"

#include <memory>
#include <string>
#include <vector>

// True under Wine (its ntdll exports wine_get_version). Only there may a test register a real
// rename for the next restart: it lands in the test prefix, never in a developer's own Windows.
bool RunningUnderWine();

// A key of its own under the real HKEY_CURRENT_USER ("Software\Nomaro Tests\..."), unique to this
// process; the caller deletes it.
std::wstring NewScratchKeyPath();

// Points predefined roots of this test program (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT) at scratch keys
// for the whole run, so the tests and the code they call write only there; the scratch keys are
// deleted at the end. With HKEY_CURRENT_USER redirected, the user's local application data (where
// the undo journals go) is a temp folder of the run's own. Register it once per program with
// RedirectRegistryForTheRun.
class ScratchRegistry : public testing::Environment {
public:
    struct Root {
        HKEY root;
        // Keys of the real root that the tests read as they are: copied into the scratch first.
        std::vector<std::wstring> copied;
    };
    explicit ScratchRegistry(std::vector<Root> roots) : roots_(std::move(roots)) {}

    void SetUp() override;
    void TearDown() override;

private:
    std::vector<Root> roots_;
    std::wstring scratchPath_;
    std::unique_ptr<TempFolder> localAppData_;
};

// For a namespace-scope constant of the test program: the redirection is in force from before the
// first test to after the last, and no test runs when it could not be made.
testing::Environment* RedirectRegistryForTheRun(std::vector<ScratchRegistry::Root> roots);

// Puts a key back as it was when the guard was made, values and subkeys, or removes it when it did
// not exist; the keys of its path that were missing are removed again when they are empty.
class SavedRegistryKey {
public:
    SavedRegistryKey(HKEY root, std::wstring path);
    ~SavedRegistryKey();
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

    // False when the key could not be copied aside: then nothing may change it.
    bool saved() const { return saved_; }

private:
    HKEY root_;
    std::wstring path_;
    std::wstring existingAncestor_;
    std::wstring copyPath_;
    bool existed_ = false;
    bool saved_ = false;
};

// The same for one value (the empty name is the key's default value): its type and bytes, or its
// absence, written back through the key that held it.
class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, std::wstring keyPath, std::wstring name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    bool saved() const { return saved_; }

private:
    HKEY root_;
    std::wstring keyPath_;
    std::wstring name_;
    std::wstring existingAncestor_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> bytes_;
    bool saved_ = false;
};

// Points one of the user's shell folders ("Favorites", "Local AppData") at folder while it lives:
// that value of "User Shell Folders", which the shell reads. The value, and the "Shell Folders" copy
// the shell writes when it reads the new one, are put back as they were afterwards.
class RedirectedShellFolder {
public:
    RedirectedShellFolder(const std::wstring& valueName, const std::wstring& folder);

    // False when the values could not be saved or the new one not written.
    bool made() const { return made_; }

private:
    SavedRegistryValue userShellFolder_;
    SavedRegistryValue shellFolder_;
    bool made_ = false;
};
