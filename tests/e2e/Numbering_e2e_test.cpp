// Numbering driven from outside through the real main window: a photo tree named and ordered,
// the history and index files byte for byte, the resume question with both answers, MP3 tags,
// and a damaged history file that survives.
#include "DesktopDriver.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";
const wchar_t kQuestion[] = L"Would you like for Nomaro to start numbering\nfrom where it left off the last time you "
                            L"used it\nnumbering only the newest files?";

std::string Int32Bytes(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

std::string StringBytes(const std::wstring& text)
{
    std::string bytes = Int32Bytes(static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

std::string RecordBytes(std::uint32_t count, const std::wstring& folder, const std::wstring& index)
{
    return Int32Bytes(count) + StringBytes(folder) + StringBytes(index);
}

// The index entries of a file, in file order.
std::vector<std::wstring> IndexEntries(const std::string& bytes)
{
    std::vector<std::wstring> entries;
    size_t at = 0;
    while (bytes.size() - at >= 4) {
        std::uint32_t units = 0;
        for (int i = 3; i >= 0; --i)
            units = (units << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
        at += 4;
        if ((bytes.size() - at) / 2 < units)
            break;
        std::wstring path;
        for (std::uint32_t i = 0; i < units; ++i, at += 2)
            path.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                                (static_cast<unsigned char>(bytes[at + 1]) << 8)));
        entries.push_back(path);
    }
    return entries;
}

std::string TagField(const std::string& text)
{
    return text + std::string(30 - text.size(), ' ');
}

std::string TagBytes(const std::string& header, const std::string& text)
{
    std::string field = TagField(text);
    return header + field + field + field + "    " + field + " ";
}

// One running Nomaro, started in its own StartDirectory with default settings.
class Nomaro : public RunningNomaro {
public:
    using RunningNomaro::RunningNomaro;

    // Selects the numbering mode and fills its fields as a user would type them.
    bool SetUpNumbering(const std::wstring& folder, const std::wstring& name, const std::wstring& extensions,
                        const std::wstring& startNumber, bool fillTags)
    {
        ClickControl(main(), IDC_NUMBER);
        if (!WaitUntil([&] { return IsWindowEnabled(GetDlgItem(main(), IDC_NAME)) != FALSE; }, 10000))
            return false;
        SetText(IDC_FOLDER, folder);
        SetText(IDC_NAME, name);
        SetText(IDC_EXT, extensions);
        SetText(IDC_START_NUMBER, startNumber);
        SendMessageW(GetDlgItem(main(), IDC_FILL_TAGS), BM_SETCHECK, fillTags ? BST_CHECKED : BST_UNCHECKED, 0);
        return WindowText(GetDlgItem(main(), IDC_START_NUMBER)) == startNumber;
    }
    void SetText(int id, const std::wstring& text)
    {
        SendMessageW(GetDlgItem(main(), id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Presses Start, answers the resume question when it comes, and waits for "Done!".
    // Returns the boxes seen before "Done!".
    std::vector<MessageBoxInfo> Start(int resumeAnswer = 0)
    {
        std::vector<MessageBoxInfo> seen;
        ClickControl(main(), IDC_START);
        for (int boxes = 0; boxes < 4; ++boxes) {
            MessageBoxInfo box = WaitForCaptionedBox(processId());
            if (!box.window) {
                ADD_FAILURE() << "no message box after Start";
                return seen;
            }
            if (box.caption == L"Lower" && box.text == L"Done!") {
                PressDialogButton(box.window, IDOK);
                WaitUntil([&] { return !IsWindow(box.window); }, 10000);
                return seen;
            }
            seen.push_back(box);
            bool question = box.text == kQuestion;
            if (question) {
                EXPECT_NE(GetDlgItem(box.window, IDYES), nullptr);
                EXPECT_NE(GetDlgItem(box.window, IDNO), nullptr);
                EXPECT_EQ(GetDlgItem(box.window, IDOK), nullptr);
            }
            PressDialogButton(box.window, question ? resumeAnswer : IDOK);
            WaitUntil([&] { return !IsWindow(box.window); }, 10000);
        }
        ADD_FAILURE() << "no Done! after Start";
        return seen;
    }
};

class NumberingE2e : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

    // The one index file in StartDirectory.
    std::wstring IndexFile() const
    {
        for (const std::wstring& name : ListNames(start_.path())) {
            if (name.size() == 18 && name.substr(14) == L".idx")
                return start_ / name;
        }
        return std::wstring();
    }

    TempFolder start_;
    TempFolder photos_;
};

// Where each file of the tree came from, by the content it was written with.
std::map<std::wstring, std::string> TreeContents(const std::wstring& root)
{
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& path : ListTree(root)) {
        DWORD attributes = GetFileAttributesW((root + path.substr(1)).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            contents[path] = ReadFileBytes(root + path.substr(1));
    }
    return contents;
}

} // namespace

TEST_F(NumberingE2e, PhotoTreeIsNumberedThenResumedWithYesAndNo)
{
    photos_.WriteFile(L"IMG_1.JPG", "IMG_1.JPG");
    photos_.WriteFile(L"2012\\IMG_2.jpg", "IMG_2.jpg");
    photos_.WriteFile(L"2012\\Deep\\IMG_3.JPG", "IMG_3.JPG");
    photos_.WriteFile(L"2012\\scan.PNG", "scan.PNG");
    photos_.WriteFile(L"cover.png", "cover.png");
    photos_.WriteFile(L"notes.txt", "notes.txt");
    photos_.WriteFile(L"thumbs.jpg", "thumbs.jpg");
    photos_.WriteFile(L"Private\\IMG_4.jpg", "IMG_4.jpg");
    SetFileAttributesW((photos_ / L"thumbs.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((photos_ / L"Private").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

    Nomaro nomaro(start_.path());
    ASSERT_NE(nomaro.main(), nullptr);
    // The history file is made at start-up, empty.
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb"), "");
    EXPECT_TRUE(PathExists(start_ / L"Nomaro.stdb"));
    ASSERT_TRUE(nomaro.SetUpNumbering(photos_.path(), L"Trip", L"jpg, png", L"000", false));
    EXPECT_TRUE(nomaro.Start().empty());

    // Four jpg files numbered 0 to 3 first, then the two png files 4 and 5, each in its folder.
    std::map<std::wstring, std::string> tree = TreeContents(photos_.path());
    ASSERT_EQ(tree.size(), 8u);
    EXPECT_EQ(tree[L".\\notes.txt"], "notes.txt");
    EXPECT_EQ(tree[L".\\thumbs.jpg"], "thumbs.jpg");
    std::map<std::string, std::wstring> renamed;
    for (const auto& [path, content] : tree)
        renamed[content] = path;
    auto folderOf = [](const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); };
    auto numberOf = [](const std::wstring& path) {
        size_t name = path.find_last_of(L'\\') + 1;
        return path.compare(name, 4, L"Trip") == 0 ? std::stoi(path.substr(name + 4, 3)) : -1;
    };
    EXPECT_EQ(folderOf(renamed["IMG_1.JPG"]), L".\\");
    EXPECT_EQ(folderOf(renamed["IMG_2.jpg"]), L".\\2012\\");
    EXPECT_EQ(folderOf(renamed["IMG_3.JPG"]), L".\\2012\\Deep\\");
    EXPECT_EQ(folderOf(renamed["IMG_4.jpg"]), L".\\Private\\");
    EXPECT_EQ(folderOf(renamed["scan.PNG"]), L".\\2012\\");
    std::vector<int> jpgNumbers, pngNumbers;
    for (const char* jpg : {"IMG_1.JPG", "IMG_2.jpg", "IMG_3.JPG", "IMG_4.jpg"}) {
        jpgNumbers.push_back(numberOf(renamed[jpg]));
        EXPECT_EQ(renamed[jpg].substr(renamed[jpg].size() - 4), L".jpg");
    }
    for (const char* png : {"scan.PNG", "cover.png"}) {
        pngNumbers.push_back(numberOf(renamed[png]));
        EXPECT_EQ(renamed[png].substr(renamed[png].size() - 4), L".png");
    }
    std::sort(jpgNumbers.begin(), jpgNumbers.end());
    std::sort(pngNumbers.begin(), pngNumbers.end());
    EXPECT_EQ(jpgNumbers, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(pngNumbers, (std::vector<int>{4, 5}));
    // In one folder, the 2012 subfolder's files stand together: IMG_2, Deep\IMG_3 in walk order.
    EXPECT_EQ(std::abs(numberOf(renamed["IMG_2.jpg"]) - numberOf(renamed["IMG_3.JPG"])), 1);

    // The index lists the six new paths in number order; the history holds the folder's record.
    std::wstring index = IndexFile();
    ASSERT_FALSE(index.empty());
    std::vector<std::wstring> entries = IndexEntries(ReadFileBytes(index));
    ASSERT_EQ(entries.size(), 6u);
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(numberOf(entries[i]), static_cast<int>(i)) << Narrow(entries[i]);
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb"), RecordBytes(6, photos_.path(), index));

    // Two files added; resumed with Yes: only they are numbered, at 6 and 7.
    photos_.WriteFile(L"2012\\new.JPG", "new.JPG");
    photos_.WriteFile(L"new.png", "new.png");
    std::vector<MessageBoxInfo> seen = nomaro.Start(IDYES);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Nomaro");
    EXPECT_EQ(seen[0].text, kQuestion);
    EXPECT_EQ(ReadFileBytes(photos_ / L"2012\\Trip006.jpg"), "new.JPG");
    EXPECT_EQ(ReadFileBytes(photos_ / L"Trip007.png"), "new.png");
    for (const std::wstring& old : entries)
        EXPECT_TRUE(PathExists(photos_.path() + old.substr(1))) << Narrow(old);
    std::vector<std::wstring> resumed = IndexEntries(ReadFileBytes(index));
    std::vector<std::wstring> expected = entries;
    expected.push_back(L".\\2012\\Trip006.jpg");
    expected.push_back(L".\\Trip007.png");
    EXPECT_EQ(resumed, expected);
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb"), RecordBytes(8, photos_.path(), index));

    // One more file; answered No with a new name: everything is numbered again from 0.
    photos_.WriteFile(L"last.jpg", "last.jpg");
    nomaro.SetText(IDC_NAME, L"Again");
    seen = nomaro.Start(IDNO);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, kQuestion);
    tree = TreeContents(photos_.path());
    ASSERT_EQ(tree.size(), 11u);
    std::vector<std::wstring> again = IndexEntries(ReadFileBytes(index));
    ASSERT_EQ(again.size(), 9u);
    for (size_t i = 0; i < again.size(); ++i) {
        std::wstring name = again[i].substr(again[i].find_last_of(L'\\') + 1);
        EXPECT_EQ(name.substr(0, 8), L"Again" + std::wstring(3 - std::to_wstring(i).size(), L'0') + std::to_wstring(i));
        EXPECT_TRUE(tree.count(again[i])) << Narrow(again[i]);
    }
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb"), RecordBytes(9, photos_.path(), index));
    EXPECT_EQ(ListNames(start_.path()).size(), 2u); // the history and the one index, nothing else
}

TEST_F(NumberingE2e, Mp3FilesGetTheirId3v1TagWhenAsked)
{
    // The tag check after this test reads the files with a real tag reader when a folder is named.
    wchar_t outputBuffer[1024] = L"";
    DWORD outputLength = GetEnvironmentVariableW(L"NOMARO_TAG_OUTPUT", outputBuffer, 1024);
    std::wstring music = photos_.path();
    if (outputLength > 0 && outputLength < 1024) {
        music = outputBuffer;
        std::replace(music.begin(), music.end(), L'/', L'\\');
        if (music[0] == L'\\')
            music = L"Z:" + music;
        CreateDirectoryW(music.c_str(), nullptr);
    }
    std::string audio(1000, '\xff');
    std::string lowerTagged = std::string(300, '\x55') + "tag" + std::string(125, 'z');
    WriteFileBytes(music + L"\\SONG.MP3", audio);
    WriteFileBytes(music + L"\\lower.mp3", lowerTagged);
    WriteFileBytes(music + L"\\empty.Mp3", "");
    WriteFileBytes(music + L"\\ro.mp3", std::string(10, '\x11'));
    SetFileAttributesW((music + L"\\ro.mp3").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(music + L"\\cover.jpg", "jpg");

    {
        Nomaro nomaro(start_.path());
        ASSERT_NE(nomaro.main(), nullptr);
        ASSERT_TRUE(nomaro.SetUpNumbering(music, L"Track", L"mp3", L"01", true));
        EXPECT_TRUE(nomaro.Start().empty());
    }

    std::vector<std::wstring> names = ListNames(music);
    ASSERT_EQ(names, (std::vector<std::wstring>{L"Track01.mp3", L"Track02.mp3", L"Track03.mp3", L"Track04.mp3",
                                                L"cover.jpg"}));
    EXPECT_EQ(ReadFileBytes(music + L"\\cover.jpg"), "jpg");
    // Which file got which number follows the walk order: find each by its size and first bytes.
    int found = 0;
    // Numbered from the typed start, 1.
    for (int i = 1; i <= 4; ++i) {
        std::wstring path = music + L"\\Track0" + std::to_wstring(i) + L".mp3";
        std::string bytes = ReadFileBytes(path);
        std::string tag = "Track0" + std::to_string(i);
        if (bytes.size() == 1128) {
            EXPECT_EQ(bytes, audio + TagBytes("TAG", tag));
        } else if (bytes.size() == 428) {
            EXPECT_EQ(bytes, lowerTagged.substr(0, 300) + TagBytes("tag", tag));
        } else if (bytes.size() == 128) {
            EXPECT_EQ(bytes, TagBytes("TAG", tag));
        } else {
            EXPECT_EQ(bytes, std::string(10, '\x11') + TagBytes("TAG", tag));
            EXPECT_FALSE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
        }
        ++found;
    }
    EXPECT_EQ(found, 4);
}

TEST_F(NumberingE2e, DamagedHistorySurvivesAndIsKept)
{
    std::wstring otherIndex = start_ / L"20120101000000.idx";
    WriteFileBytes(otherIndex, StringBytes(L".\\x.jpg"));
    std::string good = RecordBytes(1, L"D:\\Elsewhere", otherIndex);
    std::string damaged = good + Int32Bytes(2) + Int32Bytes(0x40000000) + "cut";
    WriteFileBytes(start_ / L"Nomaro.stdb", damaged);
    photos_.WriteFile(L"a.txt", "a");

    Nomaro nomaro(start_.path());
    ASSERT_NE(nomaro.main(), nullptr);
    ASSERT_TRUE(nomaro.SetUpNumbering(photos_.path(), L"N", L"", L"0", false));
    EXPECT_TRUE(nomaro.Start().empty());
    EXPECT_EQ(ReadFileBytes(photos_ / L"N0.txt"), "a");
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb.bak"), damaged);
    std::string history = ReadFileBytes(start_ / L"Nomaro.stdb");
    ASSERT_GT(history.size(), good.size());
    EXPECT_EQ(history.substr(0, good.size()), good);
    std::wstring index;
    for (const std::wstring& name : ListNames(start_.path())) {
        if (name.size() == 18 && name.substr(14) == L".idx" && start_ / name != otherIndex)
            index = start_ / name;
    }
    ASSERT_FALSE(index.empty());
    EXPECT_EQ(history.substr(good.size()), RecordBytes(1, photos_.path(), index));
    EXPECT_EQ(ReadFileBytes(index), StringBytes(L".\\N0.txt"));
    EXPECT_EQ(ReadFileBytes(otherIndex), StringBytes(L".\\x.jpg"));
}

