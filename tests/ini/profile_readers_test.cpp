// The readers of profile-format files side by side: they share one line grammar and differ
// only where each file's own rules say so.
#include "../../suite/tgt/target_table.h"
#include "h2tgt.h"
#include "server/drive_server.h"
#include "shell/ini_file.h"
#include "support/scoped_env.h"
#include "target/h2tgt_library.h"

#include <gtest/gtest.h>

#include <string>

namespace rux {
namespace {

// A value a reader does not find: the settings reader gives the caller's default, the targets.ini
// reader nothing, and a node file leaves the caller's field as it was.
constexpr const char* kAbsent = "<absent>";

TEST(ProfileReaders, OneGrammarThreeSetsOfRules) {
    const std::string longText(1500, 'x');
    struct Case {
        std::string text; // looked up as section "Node", key "Author"
        std::string settings;
        std::string targets;
        std::string node;
    } cases[] = {
        // Settings and targets.ini trim values; a node file keeps the text's own blanks.
        {"[Node]\nAuthor=  J. Brandt \t\n", "J. Brandt", "J. Brandt", "  J. Brandt \t"},
        {"  [ Node ]  \n   Author   =   7  \n", "7", "7", "   7  "},
        // An empty value is absent for settings only; the first key decides even when empty.
        {"[Node]\nAuthor=\nAuthor=late\n", kAbsent, "", ""},
        {"[Node]\nAuthor=   \n", kAbsent, "", "   "},
        // CR LF and a last line without a line end.
        {"[Node]\r\nAuthor=a b\r\n", "a b", "a b", "a b"},
        {"[Node]\nAuthor=a b\r", "a b", "a b", "a b"},
        {"[Node]\n\n\n\nAuthor=a b", "a b", "a b", "a b"},
        {"", kAbsent, kAbsent, kAbsent},
        // Names without case, the first key wins, the value runs from the first '='.
        {"[ node ] tail\nAUTHOR=x\nAuthor=y\n", "x", "x", "x"},
        {"[Node]\nAuthor=a=b\n", "a=b", "a=b", "a=b"},
        // A section split over several headers is searched in file order.
        {"[Node]\nA=1\n[Other]\nAuthor=o\n[NODE]\nAuthor=late\n", "late", "late", "o"},
        {"[Node]\nAuthor=1\n[Node]\nAuthor=2\n", "1", "1", "1"},
        // Sections matter to the settings and targets.ini readers only.
        {"Author=x\n[Node]\n", kAbsent, kAbsent, "x"},
        {"[Other]\nAuthor=x\n", kAbsent, kAbsent, "x"},
        // Keys after a broken header belong to no section, even after a good header of the name.
        {"[Node]\nA=1\n[Node\nAuthor=x\n", kAbsent, kAbsent, "x"},
        {"[Node\nAuthor=x\n[Node]\nAuthor=y\n", "y", "y", "x"},
        // Comments: ';' everywhere, '#' in targets.ini only.
        {"[Node]\n ; Author=x\n", kAbsent, kAbsent, kAbsent},
        {"[Node]\n ;Author=x\nAuthor=4\n", "4", "4", "4"},
        {"[Node]\n#Author=x\nAuthor=y\n", "y", "y", "y"},
        {"[Node]\nAuthor\nAuthor=y\n", "y", "y", "y"},
        // Long texts: a 255-character profile buffer, kept whole, clipped to the record's buffer.
        {"[Node]\nAuthor=" + longText + "\n", longText.substr(0, 254), longText,
         longText.substr(0, H2_HDR_TEXT - 1)},
    };

    test::CScopedEnv home("RUXEDIT_HOME", RUX_PRODUCT_DIR);
    CH2TgtLibrary tgt(std::make_unique<CServiceLibrary>("H2Tgt"));
    test::CTempDir dir;
    const std::string program = dir.File("p.rux");
    for (const Case& c : cases) {
        EXPECT_EQ(CIniFile::FromText(c.text).GetString("Node", "Author", kAbsent), c.settings) << c.text;

        const tgt::CIniText targets = tgt::CIniText::Parse(c.text);
        const std::string* target = targets.Find("Node", "Author");
        EXPECT_EQ(target != nullptr ? *target : kAbsent, c.targets) << c.text;

        dir.Write("p.node", c.text);
        CRuxHeader header;
        header.Author = kAbsent;
        ASSERT_TRUE(tgt.ReadHeader(program, header)) << c.text;
        EXPECT_EQ(header.Author, c.node) << c.text;
    }
}

TEST(ProfileReaders, HashStartsACommentInTargetsIniOnly) {
    const char* text = "[S]\n#K=1\n";
    EXPECT_EQ(CIniFile::FromText(text).GetString("S", "#K", "none"), "1");
    EXPECT_EQ(tgt::CIniText::Parse(text).Find("S", "#K"), nullptr);
}

// targets.ini has two readers, the target library and the simulated drive: they must agree on the
// tasks of every type.
TEST(ProfileReaders, TheDriveReadsTheTasksAsTheTargetLibraryDoes) {
    const char* text = "[Types]\nType1=KESTREL\nType2=OSPREY\nType3=MERLIN\n"
                       "[kestrel]\nTasks= Initial , Clock \n[KESTREL]\nTasks=Late\n"
                       "[OSPREY]\n# Tasks=Hidden\nTasks=Initial;Clock\n"
                       "[MERLIN\nTasks=Broken\n";
    const struct {
        const char* type;
        std::vector<std::string> tasks; // empty: the type names none
    } cases[] = {
        {"KESTREL", {"Initial", "Clock"}},
        {"OSPREY", {"Initial;Clock"}},
        {"MERLIN", {}},
    };
    test::CTempDir data;
    data.Write("targets.ini", text);
    drive::CDriveOptions options;
    options.port = 0;
    options.dataDir = data.Path();
    drive::CDriveServer server(options);
    std::string message;
    ASSERT_TRUE(server.Start(message)) << message;
    const tgt::CTargetTable table = tgt::CTargetTable::Parse(text);
    const std::vector<std::string> fallback = server.TasksOf("NOSUCH");
    for (const auto& c : cases) {
        ASSERT_NE(table.FindType(c.type), nullptr) << c.type;
        EXPECT_EQ(table.FindType(c.type)->tasks, c.tasks) << c.type;
        EXPECT_EQ(server.TasksOf(c.type), c.tasks.empty() ? fallback : c.tasks) << c.type;
    }
}

} // namespace
} // namespace rux
