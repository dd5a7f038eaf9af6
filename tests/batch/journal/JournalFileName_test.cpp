// Journal file names sort as the runs began, and a set-aside journal's name keeps its run's time.
#include "JournalFileName.h"

#include <gtest/gtest.h>

TEST(JournalFileName, NamesSortAsRunsBegan)
{
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 5;
    time.wDay = 1;
    time.wHour = 9;
    time.wMinute = 30;
    time.wSecond = 7;
    time.wMilliseconds = 12;
    EXPECT_EQ(JournalFileName(time), L"Run-20240501-093007-012.journal");

    SYSTEMTIME read{};
    ASSERT_TRUE(ParseJournalFileName(L"RUN-20240501-093007-012.JOURNAL", read));
    EXPECT_EQ(read.wYear, 2024);
    EXPECT_EQ(read.wMilliseconds, 12);
    const wchar_t* others[] = {L"Run-20240501-093007-012.journal.tmp", L"Run-2024050-093007-0123.journal",
                               L"Run-20240501-093007-01x.journal", L"Nomaro.stdb", L"Run-20240501_093007-012.journal"};
    for (const wchar_t* name : others)
        EXPECT_FALSE(IsJournalFileName(name)) << name;
}

TEST(JournalFileName, SetAsideNamesKeepTheRunsTime)
{
    const std::wstring journal = L"Run-20240501-093007-012.journal";
    EXPECT_EQ(SetAsideJournalName(journal, 0), journal + L".unreadable");
    EXPECT_EQ(SetAsideJournalName(journal, 2), journal + L".2.unreadable");
    for (unsigned attempt : {0u, 2u, 10u}) {
        SYSTEMTIME read{};
        ASSERT_TRUE(ParseSetAsideJournalName(SetAsideJournalName(journal, attempt), read)) << attempt;
        EXPECT_EQ(read.wSecond, 7);
        EXPECT_EQ(read.wMilliseconds, 12);
    }
    SYSTEMTIME unused;
    const wchar_t* others[] = {L"Run-20240501-093007-012.journal", L"notes.unreadable",
                               L"Run-20240501-093007-012.journal.x.unreadable", L"Run-20240501-093007-012.journal..unreadable"};
    for (const wchar_t* name : others)
        EXPECT_FALSE(ParseSetAsideJournalName(name, unused)) << name;
    EXPECT_FALSE(IsJournalFileName(SetAsideJournalName(journal, 0)));
}
