// The settings file the product ships, and the colours an editor started over it paints with.
#include "editor_harness.h"

#include "editor/colour_class.h"
#include "frame/mdi_child.h"
#include "shell/ini_file.h"
#include "view/rux_view.h"
#include "view/view_environment.h"

#include <QImage>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;

std::string ShippedSettings() {
    return CEditorHarness::Read(std::string(RUX_SOURCE_DIR) + "/data/Torvel.ini");
}

int CountPixels(const QImage& img, const std::function<bool(QColor)>& pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 20; x < img.width(); ++x) // the text area, right of the margin
            n += pred(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}

QImage PaintActiveView(CMainFrame& frame) {
    auto* view = qobject_cast<CRUXView*>(frame.ActiveChild()->View());
    EXPECT_NE(view, nullptr);
    if (!view) return {};
    CEditorHarness::Settle();
    return view->viewport()->grab().toImage();
}

TEST(ShippedSettings, FreshInstallStartsWithTheDefaultColoursAndFont) {
    CEditorHarness h;
    h.WriteSettings(ShippedSettings());
    ASSERT_TRUE(h.Start({}));
    const CSetting& s = CViewEnvironment::Default().Settings();
    // Values as 0xBBGGRR.
    const struct {
        int number;
        ColorRef value;
    } colours[] = {
        {kColourRungComment, 0x008000}, {kColourFbHeader, 0x00FF00}, {kColourSelectionBox, 0xC8C8C8},
        {kColourComment, 0x007D00},     {kColourIdentifier, 0},      {kColourKeyword, 0xC80000},
        {kColourText, 0},               {kColourError, 0x0000FF},    {kColourReadOnly, 0},
        {kColourSelection, 0xFFFF00},
    };
    for (const auto& c : colours) EXPECT_EQ(s.GetColor(c.number), c.value) << "colour " << c.number;
    EXPECT_EQ(s.Font().face, "courier new");
    EXPECT_EQ(s.Font().size, 100);
    EXPECT_EQ(s.Font().weight, 400);
    EXPECT_FALSE(s.Font().italic);
    EXPECT_EQ(s.TabSize(), 4);

    // Every other setting of the file is what an absent key would give: the file changes nothing there.
    const CIniFile shipped = CIniFile::FromText(ShippedSettings());
    EXPECT_EQ(h.Frame().Theme(), 2);
    EXPECT_EQ(shipped.GetInt("RUXCat", "MaxCat", -1), 10);
    EXPECT_EQ(shipped.GetInt("RUXCat", "MaxTpl", -1), 20);
    EXPECT_FALSE(shipped.Find("RUXCOLOR", "ColorTMSel")) << "the desktop's highlight colour stays in charge";
    const COptionMgr fresh;
    int listed = 0;
    for (const CH2Option& o : fresh.Options()) {
        EXPECT_EQ(h.app->Options().GetOption(o.Number()), o.Value()) << o.Key();
        listed += shipped.Find("Editor", o.Key()) ? 1 : 0;
    }
    EXPECT_EQ(listed, 14) << "every option is in the file, so that a user sees what can be set";
}

// What a program looks like: keywords in dark blue and comments in green with the shipped file; a file
// without the colour section gives black keywords and grey comments, so neither colour appears.
TEST(ShippedSettings, ProgramIsPaintedInTheFilesColours) {
    auto blueKeyword = [](QColor c) { return c.blue() > 150 && c.red() < 60 && c.green() < 60; };
    auto greenComment = [](QColor c) { return c.green() > 90 && c.red() < 50 && c.blue() < 50; };
    const struct {
        const char* name;
        bool shipped;
        bool blue, green;
    } rows[] = {
        {"shipped file", true, true, true},
        {"no colour section", false, false, false},
    };
    for (const auto& r : rows) {
        CEditorHarness h;
        h.WriteSettings(r.shipped ? ShippedSettings() : std::string("[MAINDESK]\nTheme=2\n"));
        const std::string path = h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux");
        ASSERT_TRUE(h.Start({path}));
        const QImage img = PaintActiveView(h.Frame());
        EXPECT_EQ(CountPixels(img, blueKeyword) > 30, r.blue) << r.name;
        EXPECT_EQ(CountPixels(img, greenComment) > 30, r.green) << r.name;
    }
}

// Closing writes the colours back, so a changed colour survives the next start.
TEST(ShippedSettings, ClosingWritesTheColoursForTheNextStart) {
    CEditorHarness h;
    h.WriteSettings(ShippedSettings());
    ASSERT_TRUE(h.Start({}));
    CViewEnvironment::Default().Settings().SetColor(kColourKeyword, 0x123456);
    ASSERT_TRUE(h.Frame().close());
    h.app.reset();
    const CIniFile written = CIniFile::FromText(h.SettingsText());
    EXPECT_EQ(written.GetInt("RUXCOLOR", "ColorKwd", -1), 0x123456);
    EXPECT_EQ(written.GetInt("RUXCOLOR", "ColorCmt", -1), 0x007D00);
    ASSERT_TRUE(h.Start({}));
    EXPECT_EQ(CViewEnvironment::Default().Settings().GetColor(kColourKeyword), 0x123456u);
}

} // namespace
} // namespace rux
