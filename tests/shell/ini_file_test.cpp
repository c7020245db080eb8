#include "shell/ini_file.h"

#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

namespace rux {
namespace {

using test::CTempDir;

// The line grammar and the look-up rules are shared with the other profile readers and tested
// with them (tests/ini); here is what is the settings file's own.
TEST(IniFile, IntegersUseTheDecimalConversionAndAbsentMeansDefault) {
    struct Case {
        const char* value; // nullptr: no key at all
        int expected;
    } cases[] = {
        {nullptr, 42},
        {"", 42},
        {"0", 0},
        {"17", 17},
        {"-3", -3},
        {"+8", 8},
        {"12abc", 12},
        {"abc", 0},
        {" 5 ", 5},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999999999999", INT_MAX},
        {"18446744073709551621", INT_MAX}, // 2^64 + 5: must not wrap round to 5
        {"-99999999999", INT_MIN},
        {"0x10", 0},
        {"16777215", 0xFFFFFF},
    };
    for (const Case& c : cases) {
        std::string text = "[S]\n";
        if (c.value) text += std::string("K=") + c.value + "\n";
        EXPECT_EQ(CIniFile::FromText(text).GetInt("S", "K", 42), c.expected)
            << (c.value ? c.value : "(none)");
    }
}

TEST(IniFile, WritesChangeOnlyTheirLine) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after; // nullptr: refused, the text stays as it was
    } cases[] = {
        // Replacing keeps the key's spelling, the blanks before '=', comments and other sections.
        {"; settings\n[Editor]\n  AutoIndent = 1\n; tail\n[Unknown]\nZ=9\n", "EDITOR", "autoindent", "0",
         "; settings\n[Editor]\n  AutoIndent =0\n; tail\n[Unknown]\nZ=9\n"},
        // A new key goes after the section's last key, before the comment and blank line that follow.
        {"[Editor]\nA=1\n; about B\n\n[Other]\nB=2\n", "Editor", "C", "3",
         "[Editor]\nA=1\nC=3\n; about B\n\n[Other]\nB=2\n"},
        {"[Editor]\n[Other]\n", "Editor", "C", "3", "[Editor]\nC=3\n[Other]\n"},
        {"[Editor]\nA=1", "Editor", "B", "2", "[Editor]\nA=1\nB=2\n"},
        {"[Editor]\nA=1\n", "New", "B", "2", "[Editor]\nA=1\n\n[New]\nB=2\n"},
        {"[Editor]\nA=1", "New", "B", "2", "[Editor]\nA=1\n\n[New]\nB=2\n"},
        {"", "New", "B", "2", "[New]\nB=2\n"},
        // CR LF files stay CR LF, also on the lines we add.
        {"[Editor]\r\nA=1\r\n", "Editor", "A", "22", "[Editor]\r\nA=22\r\n"},
        {"[Editor]\r\nA=1\r\n", "Editor", "B", "2", "[Editor]\r\nA=1\r\nB=2\r\n"},
        {"[Editor]\r\nA=1\r\n", "X", "B", "2", "[Editor]\r\nA=1\r\n\r\n[X]\r\nB=2\r\n"},
        // Duplicates: the first key of the name is the one that changes.
        {"[E]\nA=1\nA=2\n", "E", "A", "9", "[E]\nA=9\nA=2\n"},
        {"[E]\nX=1\n[E]\nA=2\n", "E", "A", "9", "[E]\nX=1\n[E]\nA=9\n"},
        {"[E]\nX=1\n[E]\nY=2\n", "E", "A", "9", "[E]\nX=1\nA=9\n[E]\nY=2\n"},
        // Keys before the first header or under a broken one are in no section: a new key goes into
        // the good section, before the broken header.
        {"A=1\n[E]\n", "E", "A", "2", "A=1\n[E]\nA=2\n"},
        {"[E]\nA=1\n[E\nB=2\n", "E", "B", "9", "[E]\nA=1\nB=9\n[E\nB=2\n"},
        // A line break in a value must not create a line of its own.
        {"[E]\n", "E", "A", "one\ntwo", "[E]\nA=one two\n"},
        {"[Window Position]\nFrame = 1,2\n", "window position", "frame", "3", "[Window Position]\nFrame =3\n"},
        // Names that would break the file.
        {"[E]\nA=1\n", "", "A", "1", nullptr}, {"[E]\nA=1\n", "E", "", "1", nullptr},
        {"[E]\nA=1\n", "E]", "A", "1", nullptr}, {"[E]\nA=1\n", "E", "A=B", "1", nullptr},
        {"[E]\nA=1\n", "E", ";A", "1", nullptr},
    };
    for (const Case& c : cases) {
        CIniFile ini = CIniFile::FromText(c.before);
        EXPECT_EQ(ini.WriteString(c.section, c.key, c.value), c.after != nullptr) << c.before << c.key;
        EXPECT_EQ(ini.Text(), c.after ? c.after : c.before) << c.before;
    }
}

TEST(IniFile, IntegerFormats) {
    CIniFile ini = CIniFile::FromText("");
    ini.WriteInt("S", "I", -7);
    ini.WriteLong("S", "L", 2147483647L);
    EXPECT_EQ(ini.Text(), "[S]\nI=-7\nL=2147483647\n");
}

TEST(IniFile, FileOnDiskRoundTripsAndReadsNeverWrite) {
    CTempDir dir;
    const std::string original = "; hand-written\r\n[MAINDESK]\r\nTheme=3\r\n[Mine]\r\nkeep=me\r\n";
    std::string path = dir.Write("Torvel.ini", original);
    auto stamp = std::filesystem::last_write_time(path);

    CIniFile ini(path);
    EXPECT_EQ(ini.GetInt("maindesk", "theme", 2), 3);
    EXPECT_EQ(ini.GetString("MINE", "KEEP", ""), "me");
    EXPECT_EQ(ini.GetInt("RUXCat", "MaxCat", 10), 10);
    EXPECT_EQ(CTempDir::Read(path), original);
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp);

    EXPECT_TRUE(ini.WriteLong("MAINDESK", "Theme", 0));
    EXPECT_TRUE(ini.WriteInt("RUXCat", "MaxCat", 12));
    EXPECT_EQ(
        CTempDir::Read(path),
        "; hand-written\r\n[MAINDESK]\r\nTheme=0\r\n[Mine]\r\nkeep=me\r\n\r\n[RUXCat]\r\nMaxCat=12\r\n");
    // A second object over the same file sees the writes at once.
    EXPECT_EQ(CIniFile(path).GetInt("RUXCat", "MaxCat", 10), 12);
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(IniFile, MissingOrUnwritableFilesGiveDefaultsAndDropWrites) {
    CTempDir dir;
    std::filesystem::create_directory(dir.File("adir"));
    const std::string paths[] = {
        dir.File("missing.ini"),            // read side only: the write below creates it
        dir.File("no/such/dir/Torvel.ini"), // cannot be created
        dir.File("adir"),                   // a directory, not a file
    };
    for (const std::string& path : paths) {
        CIniFile ini(path);
        EXPECT_EQ(ini.GetInt("MAINDESK", "Theme", 2), 2) << path;
        EXPECT_EQ(ini.GetString("RUXCOLOR", "FontName", "courier"), "courier") << path;
        EXPECT_FALSE(ini.Find("MAINDESK", "Theme").has_value()) << path;
    }
    EXPECT_FALSE(CIniFile(paths[1]).WriteLong("MAINDESK", "Theme", 1));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
    EXPECT_FALSE(CIniFile(paths[2]).WriteLong("MAINDESK", "Theme", 1));
    EXPECT_TRUE(std::filesystem::is_directory(paths[2]));

    EXPECT_TRUE(CIniFile(paths[0]).WriteLong("MAINDESK", "Theme", 1));
    EXPECT_EQ(CTempDir::Read(paths[0]), "[MAINDESK]\nTheme=1\n");
}

} // namespace
} // namespace rux
