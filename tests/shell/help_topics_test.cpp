#include "shell/help_topics.h"

#include "import/indexer_fb_form.h"
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

} // namespace
} // namespace rux
