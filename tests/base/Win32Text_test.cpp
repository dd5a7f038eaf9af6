// The grow-and-retry text helpers return whole texts, never cut ones.
#include "Win32Text.h"

#include <gtest/gtest.h>

TEST(Win32Text, ModuleFileNameEndsInTheTestProgram)
{
    std::wstring name = GetModuleFileNameString(nullptr);
    ASSERT_GT(name.size(), 4u);
    EXPECT_EQ(name.substr(name.size() - 4), L".exe");
}

TEST(Win32Text, AnsiConversionReplacesWhatTheCodePageLacks)
{
    EXPECT_EQ(ToAnsi(L"abc"), "abc");
    EXPECT_EQ(ToAnsi(L""), "");
    // One byte per character on a single-byte code page, whatever the replacement is.
    if (GetACP() == 1252) {
        EXPECT_EQ(ToAnsi(L"\x4E2D").size(), 1u);
    }
}
