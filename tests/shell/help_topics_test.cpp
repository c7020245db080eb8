// Help: the topic map and its pages, and the manuals of the Help menu.
#include "shell/help_topics.h"

#include "import/indexer_fb_form.h"
#include "shell/ini_file.h"
#include "shell/manuals.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

// The product's own map: every dialog topic has the context its numbering rule gives, and the
// page it names is there and is about that dialog.
TEST(HelpTopics, EveryDialogTopicOfTheProductHasItsContextAndPage) {
    const CHelpTopics topics(std::string(RUX_SOURCE_DIR) + "/data/Help");
    struct Case {
        const char* topic;
        int context;
        const char* title;
    } cases[] = {
        {kColorsHelpTopic, 0x20000 + 204, "<title>Defining the Colors of Program Elements</title>"},
        {kTabStopsHelpTopic, 0x20000 + 106, "<title>Defining Tab Stops</title>"},
        {kIndexerFbHelpTopic, 0x28000, "<title>Indexer Function Block</title>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(topics.ContextOf(c.topic), c.context) << c.topic;
        const std::string page = topics.PageOf(c.topic);
        EXPECT_EQ(page, std::string(RUX_SOURCE_DIR) + "/data/Help/Topics/" + c.topic + ".html");
        const std::string html = test::CTempDir::Read(page);
        EXPECT_NE(html.find(c.title), std::string::npos) << page;
    }
}

TEST(HelpTopics, ContextsComeOnlyFromPositiveNumbersOfListedTopics) {
    test::CTempDir dir;
    dir.Write("Topics/Topics.ini", "; map\r\n[Other]\r\nElsewhere=7\r\n[Topics]\r\nColours=131276\r\n"
                                   "Zero=0\r\nNegative=-5\r\nEmpty=\r\n Padded = 42 \r\nWord=abc\r\n");
    const CHelpTopics topics(dir.Path());
    struct Case {
        const char* topic;
        int context;
    } cases[] = {
        {"Colours", 131276}, {"colours", 131276}, // names are compared without case, as in any INI file
        {"Padded", 42},      {"Zero", 0},         {"Negative", 0}, {"Empty", 0}, {"Word", 0},
        {"Elsewhere", 0},    {"Missing", 0},      {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(topics.ContextOf(c.topic), c.context) << c.topic;
    // Without the map nothing has a context.
    EXPECT_EQ(CHelpTopics(dir.File("nowhere")).ContextOf("Colours"), 0);
}

TEST(HelpTopics, ATopicNamesAPageInsideTheTopicsFolder) {
    const CHelpTopics topics("/opt/rux/Help");
    struct Case {
        const char* topic;
        const char* page;
    } cases[] = {
        {"Defining_Tab_Stops", "/opt/rux/Help/Topics/Defining_Tab_Stops.html"},
        {"Rung", "/opt/rux/Help/Topics/Rung.html"},
        {"", ""},
        {"../rux_editor_guide", ""},
        {"sub/page", ""},
        {"sub\\page", ""},
        {"..", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(topics.PageOf(c.topic), c.page) << c.topic;
    // A topic that names no page has no context either, whatever the map says.
    test::CTempDir dir;
    dir.Write("Topics/Topics.ini", "[Topics]\r\n../x=5\r\n");
    EXPECT_EQ(CHelpTopics(dir.Path()).ContextOf("../x"), 0);
}

TEST(Manuals, ListStopsAtTheFirstEmptyValue) {
    struct Case {
        const char* text;
        std::vector<std::string> menuNames;
    } cases[] = {
        {"", {}},
        {"[Manuals]\n0=A\n1=B\n3=D\n[A]\nMenuName=Guide A\nFileName=a.pdf\n[B]\nMenuName=Guide B\n"
         "[D]\nMenuName=Guide D\n",
         {"Guide A", "Guide B"}},
        {"[Manuals]\n1=B\n[B]\nMenuName=Guide B\n", {}},
        {"[Manuals]\n0=A\n1=\n2=C\n[A]\nMenuName=Guide A\n[C]\nMenuName=Guide C\n", {"Guide A"}},
        // A section without MenuName keeps its place under its own name.
        {"[Manuals]\n0=NoName\n1=B\n[B]\nMenuName=Guide B\n", {"NoName", "Guide B"}},
    };
    for (const Case& c : cases) {
        H2_CManuals m;
        m.Load(CIniFile::FromText(c.text), "/opt/rux/Help");
        std::vector<std::string> names;
        for (const auto& item : m.Items())
            names.push_back(item.menuName);
        EXPECT_EQ(names, c.menuNames) << c.text;
        for (std::size_t i = 0; i < m.Items().size(); ++i)
            EXPECT_EQ(m.Items()[i].id, 6101 + static_cast<int>(i));
    }
}

TEST(Manuals, SixtySectionsGiveFifty) {
    std::string text = "[Manuals]\n";
    for (int i = 0; i < 60; ++i)
        text += std::to_string(i) + "=M" + std::to_string(i) + "\n";
    for (int i = 0; i < 60; ++i)
        text += "[M" + std::to_string(i) + "]\nMenuName=Manual " + std::to_string(i) + "\nFileName=m" +
                std::to_string(i) + ".html\n";
    H2_CManuals m;
    m.Load(CIniFile::FromText(text), "/h");
    ASSERT_EQ(m.Items().size(), 50u);
    EXPECT_EQ(m.Items().front().id, 6101);
    EXPECT_EQ(m.Items().back().id, 6150);
    EXPECT_EQ(m.Items().back().menuName, "Manual 49");
    EXPECT_EQ(m.Items().back().fileName, "m49.html");
    EXPECT_TRUE(H2_CManuals::IsManualCommand(6150));
    EXPECT_FALSE(H2_CManuals::IsManualCommand(6151));
    EXPECT_FALSE(H2_CManuals::IsManualCommand(6100));
    EXPECT_EQ(m.FindItem(6151), nullptr);
}

TEST(Manuals, WebAddressesStandAsTheyAre) {
    H2_CManuals m;
    m.Load(CIniFile::FromText(""), "/opt/rux/Help");
    struct Case {
        const char* file;
        const char* target;
    } cases[] = {
        {"guide.html", "/opt/rux/Help/guide.html"},
        {"HTTP://example.com/guide", "HTTP://example.com/guide"},
        {"https://example.com/a.pdf", "https://example.com/a.pdf"},
        {"HtTp", "HtTp"},
        {"htt.pdf", "/opt/rux/Help/htt.pdf"},
        {"sub\\drive.pdf", "/opt/rux/Help/sub/drive.pdf"},
        {"httpdocs.pdf", "httpdocs.pdf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.Target(c.file), c.target) << c.file;
}

TEST(Manuals, OpenReportsResultsOf32OrLess) {
    H2_CManuals m;
    m.Load(CIniFile::FromText("[Manuals]\n0=G\n[G]\nMenuName=Guide\nFileName=guide.pdf\n"), "/h");
    std::string opened;
    std::string error;
    for (int result : {0, 2, 32}) {
        error.clear();
        EXPECT_FALSE(m.Open(
            6101,
            [&](const std::string& t) {
                opened = t;
                return result;
            },
            error))
            << result;
        EXPECT_EQ(opened, "/h/guide.pdf");
        EXPECT_EQ(error,
                  "The user guide 'guide.pdf' could not be opened.\n\nThe file may be missing or you don't "
                  "have Adobe Acrobat Reader Version 5 or later installed.");
    }
    error.clear();
    EXPECT_TRUE(m.Open(
        6101, [](const std::string&) { return 33; }, error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(m.Open(
        6102, [](const std::string&) { return 42; }, error));
}

TEST(Manuals, ShippedListNamesGuidesThatExist) {
    std::string helpDir = std::string(RUX_SOURCE_DIR) + "/data/Help";
    H2_CManuals m;
    m.Load(helpDir);
    ASSERT_FALSE(m.Items().empty());
    for (const auto& item : m.Items()) {
        EXPECT_FALSE(item.menuName.empty());
        std::string target = m.Target(item.fileName);
        if (target.rfind("http", 0) != 0) {
            EXPECT_TRUE(std::filesystem::is_regular_file(target)) << target;
        }
    }
}

} // namespace
} // namespace rux
