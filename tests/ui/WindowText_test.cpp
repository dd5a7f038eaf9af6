// A window's text comes back whole, never cut to a fixed buffer.
#include "WindowText.h"

#include <gtest/gtest.h>

TEST(WindowText, TextLongerThanAnyFixedBufferComesBackWhole)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    std::wstring text(5000, L'x');
    text += L"end";
    SetWindowTextW(edit, text.c_str());
    EXPECT_EQ(GetWindowTextString(edit), text);
    DestroyWindow(edit);
}
