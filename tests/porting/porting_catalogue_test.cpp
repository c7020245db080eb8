#include "porting/porting_issues.h"
#include "porting/porting_scan.h"
#include "porting/xml_reader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace rux {
namespace {

const std::string kDataDir = std::string(RUX_SOURCE_DIR) + "/data";

TEST(PortingCatalogue, ShippedCataloguesAreComplete) {
    struct CExpect {
        EPortingCatalogue which;
        int minParameters, minBlocks, minPointers, minTasks;
        std::set<int> parameterIcons;
    } const catalogues[] = {
        {EPortingCatalogue::Bittern, 30, 12, 1, 3, {1, 2, 3}},
        {EPortingCatalogue::AlbatrossQ, 15, 10, 0, 0, {1, 5}},
    };
    for (const auto& c : catalogues) {
        std::vector<std::unique_ptr<CPortingIssue>> entries;
        ASSERT_TRUE(LoadCatalogue(c.which, kDataDir, entries)) << CatalogueFileName(c.which);
        std::map<std::string, int> kinds;
        std::set<int> icons;
        std::set<std::pair<int, int>> parameters;
        std::vector<std::string> blocks;
        const std::string help = kDataDir + "/Help/" + CatalogueHelpFolder(c.which) + "/";
        for (const auto& entry : entries) {
            ASSERT_NE(entry, nullptr) << "an entry of " << CatalogueFileName(c.which) << " is dropped";
            ++kinds[entry->KindName()];
            EXPECT_TRUE(std::filesystem::exists(help + entry->GetHelpTopic())) << entry->GetHelpTopic();
            if (auto* p = dynamic_cast<CPortingParameterIssue*>(entry.get())) {
                icons.insert(p->GetIcon());
                // A parameter listed twice would be reported twice at each place.
                EXPECT_TRUE(parameters.insert({p->GetMenu(), p->GetParameter()}).second) << p->GetLabel();
            }
            if (std::string(entry->KindName()).find("unctionBlock") != std::string::npos)
                blocks.push_back(entry->GetName());
        }
        for (const char* page : {"PortingToolOverview.htm", "NoHelp.htm"})
            EXPECT_TRUE(std::filesystem::exists(help + page)) << help << page;
        const bool bittern = c.which == EPortingCatalogue::Bittern;
        EXPECT_GE(kinds[bittern ? "parameter" : "albatrossParameter"], c.minParameters);
        EXPECT_GE(kinds[bittern ? "functionBlock" : "albatrossFunctionBlock"], c.minBlocks);
        EXPECT_GE(kinds["pointer"], c.minPointers);
        EXPECT_LE(kinds["pointer"], 1) << "each pointer entry reports every pointer";
        EXPECT_GE(kinds["task"], c.minTasks);
        EXPECT_EQ(icons, c.parameterIcons);
        // Block names are found as text: one inside another would give two issues for one call.
        for (const auto& a : blocks)
            for (const auto& b : blocks)
                if (a != b) {
                    EXPECT_EQ(b.find(a), std::string::npos) << a << " inside " << b;
                }
    }
}

TEST(PortingCatalogue, ReaderWalksElementsAndAttributes) {
    test::CTempDir dir;
    const std::string path =
        dir.Write("c.xml", "<?xml version=\"1.0\"?>\n<Root a=\"1\">\n  <!-- note -->\n"
                           "  <First name=\"x &amp; y\" icn=\"3\"/>text<Second/>\n</Root>\n");
    CXMLReader reader;
    ASSERT_TRUE(reader.Load(path));
    const CXMLNode root = reader.DocumentElement();
    EXPECT_EQ(reader.ElementName(root), "Root");
    EXPECT_EQ(reader.AttributeText(root, "a"), "1");
    EXPECT_EQ(reader.AttributeText(root, "A"), "");
    std::vector<std::string> names;
    for (CXMLNode n = reader.FirstChild(root); n; n = reader.NextSibling(n))
        names.push_back(reader.ElementName(n));
    // Text between elements is a node without an element name; the comment and blank runs are
    // not nodes at all.
    EXPECT_EQ(names, (std::vector<std::string>{"First", "", "Second"}));
    const CXMLNode first = reader.FirstChild(root);
    EXPECT_EQ(reader.AttributeText(first, "name"), "x & y");
    EXPECT_TRUE(reader.FirstChild(first).IsNull());
    EXPECT_EQ(reader.ElementName(CXMLNode()), "");
    EXPECT_FALSE(reader.Load(dir.Path() + "/missing.xml"));
    EXPECT_TRUE(reader.DocumentElement().IsNull());
    const char broken[] = "<Root><Open></Root>";
    EXPECT_FALSE(reader.LoadBuffer(broken, sizeof broken - 1));
    EXPECT_TRUE(reader.DocumentElement().IsNull());
}

} // namespace
} // namespace rux
