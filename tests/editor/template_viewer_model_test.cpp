#include "document/string_table.h"
#include "editor/template_viewer_model.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace rux {
namespace {

using Names = std::vector<std::string>;

struct CViewerBench {
    test::CTempDir dir;
    CIniFile settings{dir.Write("Torvel.ini", "[CatVisibility]\nLogic=0\n")};
    CTplMgr templates{dir.File("Templates"), settings};
    CViewerBench() {
        dir.Write("Templates/Logic/Latch.txt", "Shortcut=F9\ntpl_begin\nIF S% THEN L% = 1\ntpl_end");
        dir.Write("Templates/Logic/Reset.txt", "tpl_begin\nL% = 0\ntpl_end");
        dir.Write("Templates/Motion/Ramp.txt", "tpl_begin\na\n\tb\ntpl_end");
        templates.Load();
    }
    bool Exists(const std::string& rel) const {
        return std::filesystem::exists(dir.File("Templates/" + rel));
    }
    std::string Read(const std::string& rel) const {
        return test::CTempDir::Read(dir.File("Templates/" + rel));
    }
};

// Each step changes the templates through the viewer; afterwards the choice, the lists and the
// files on disk must be what the user sees next.
TEST(TemplateViewerModel, EveryChangeLeavesTheRightEntryChosenAndTheFilesWritten) {
    struct Step {
        const char* what;
        std::function<CTplResult(CTemplateViewerModel&)> change;
        int message; // the refusal expected, 0 for success
        const char* category;
        const char* tpl;
        Names categories;
        Names templates;
        std::function<bool(const CViewerBench&)> onDisk;
    };
    CViewerBench b;
    CTemplateViewerModel m(b.templates);
    ASSERT_EQ(m.SelectedCategory(), "Logic");
    ASSERT_EQ(m.SelectedTemplate(), "Latch");
    const Step steps[] = {
        {"new category",
         [](auto& v) { return v.NewCategory("Pumps"); },
         0,
         "Pumps",
         "",
         {"Logic", "Motion", "Pumps"},
         {},
         [](auto& d) { return d.Exists("Pumps"); }},
        {"same name, other case",
         [](auto& v) { return v.NewCategory("motion"); },
         IDS_TPL_CATEGORY_EXISTS,
         "Pumps",
         "",
         {"Logic", "Motion", "Pumps"},
         {},
         nullptr},
        {"unusable name",
         [](auto& v) { return v.NewCategory("a/b"); },
         IDS_TPL_INVALID_NAME,
         "Pumps",
         "",
         {"Logic", "Motion", "Pumps"},
         {},
         nullptr},
        {"new template with a body",
         [](auto& v) { return v.NewTemplate("Pumps", "Prime", "P% = 1\r\n\tDELAY(5)"); },
         0,
         "Pumps",
         "Prime",
         {"Logic", "Motion", "Pumps"},
         {"Prime"},
         [](auto& d) {
             return d.Read("Pumps/Prime.txt") == "Shortcut=\ntpl_begin\nP% = 1\r\n\tDELAY(5)\ntpl_end";
         }},
        {"template name taken",
         [](auto& v) { return v.NewTemplate("Logic", "Reset", ""); },
         IDS_TPL_TEMPLATE_EXISTS,
         "Pumps",
         "Prime",
         {"Logic", "Motion", "Pumps"},
         {"Prime"},
         nullptr},
        {"rename category keeps the template chosen",
         [](auto& v) { return v.RenameCategory("Pumping"); },
         0,
         "Pumping",
         "Prime",
         {"Logic", "Motion", "Pumping"},
         {"Prime"},
         [](auto& d) { return d.Exists("Pumping/Prime.txt") && !d.Exists("Pumps"); }},
        {"choose Latch",
         [](auto& v) {
             v.SelectCategory("logic");
             v.SelectTemplate("Latch");
             return CTplResult{};
         },
         0,
         "Logic",
         "Latch",
         {"Logic", "Motion", "Pumping"},
         {"Latch", "Reset"},
         nullptr},
        {"edit keeps the shortcut",
         [](auto& v) { return v.EditTemplate("Latch2", "X% = 1"); },
         0,
         "Logic",
         "Latch2",
         {"Logic", "Motion", "Pumping"},
         {"Latch2", "Reset"},
         [](auto& d) {
             return !d.Exists("Logic/Latch.txt") &&
                    d.Read("Logic/Latch2.txt") == "Shortcut=F9\ntpl_begin\nX% = 1\ntpl_end";
         }},
        {"rename onto a sibling",
         [](auto& v) { return v.EditTemplate("Reset", "X% = 2"); },
         IDS_TPL_TEMPLATE_EXISTS,
         "Logic",
         "Latch2",
         {"Logic", "Motion", "Pumping"},
         {"Latch2", "Reset"},
         [](auto& d) { return d.Read("Logic/Latch2.txt").find("X% = 1") != std::string::npos; }},
        {"delete the first template chooses the next",
         [](auto& v) { return v.DeleteTemplate(); },
         0,
         "Logic",
         "Reset",
         {"Logic", "Motion", "Pumping"},
         {"Reset"},
         [](auto& d) { return !d.Exists("Logic/Latch2.txt"); }},
        {"delete the last template chooses nothing",
         [](auto& v) { return v.DeleteTemplate(); },
         0,
         "Logic",
         "",
         {"Logic", "Motion", "Pumping"},
         {},
         nullptr},
        {"delete a category chooses the next one",
         [](auto& v) { return v.DeleteCategory(); },
         0,
         "Motion",
         "Ramp",
         {"Motion", "Pumping"},
         {"Ramp"},
         [](auto& d) { return !d.Exists("Logic"); }},
        {"delete the last category chooses the one before",
         [](auto& v) {
             v.SelectCategory("Pumping");
             return v.DeleteCategory();
         },
         0,
         "Motion",
         "Ramp",
         {"Motion"},
         {"Ramp"},
         nullptr},
    };
    for (const Step& s : steps) {
        const CTplResult r = s.change(m);
        EXPECT_EQ(r.message, s.message) << s.what;
        EXPECT_EQ(r.reason, "") << s.what;
        EXPECT_EQ(m.SelectedCategory(), s.category) << s.what;
        EXPECT_EQ(m.SelectedTemplate(), s.tpl) << s.what;
        EXPECT_EQ(m.CategoryNames(), s.categories) << s.what;
        EXPECT_EQ(m.TemplateNames(), s.templates) << s.what;
        if (s.onDisk) {
            EXPECT_TRUE(s.onDisk(b)) << s.what;
        }
    }
    // Deleting the remaining category leaves nothing chosen and nothing to act on.
    EXPECT_TRUE(m.DeleteCategory().ok());
    EXPECT_EQ(m.Category(), nullptr);
    EXPECT_FALSE(m.DeleteTemplate().ok());
    EXPECT_FALSE(m.RenameCategory("X").ok());
}

TEST(TemplateViewerModel, ChecksNameTheRenamedEntryItself) {
    CViewerBench b;
    CTemplateViewerModel m(b.templates);
    EXPECT_EQ(m.CheckRenamedCategory("LOGIC"), 0) << "changing only the case is allowed";
    EXPECT_EQ(m.CheckRenamedCategory("Motion"), IDS_TPL_CATEGORY_EXISTS);
    EXPECT_EQ(m.CheckNewCategory("Logic"), IDS_TPL_CATEGORY_EXISTS);
    EXPECT_EQ(m.CheckEditedTemplate("Latch"), 0) << "its own name";
    EXPECT_EQ(m.CheckEditedTemplate("Reset"), IDS_TPL_TEMPLATE_EXISTS);
    EXPECT_EQ(m.CheckNewTemplate("Motion", "Reset"), 0) << "the name is taken only in Logic";
    EXPECT_EQ(m.CheckNewTemplate("Motion", " Ramp2"), IDS_TPL_INVALID_NAME);
}

TEST(TemplateViewerModel, ShortcutVisibilityAndTextBoxForm) {
    CViewerBench b;
    CTemplateViewerModel m(b.templates);
    EXPECT_EQ(m.ShortcutText(), "F9");
    m.SelectTemplate("Reset");
    EXPECT_EQ(m.ShortcutText(), "None");
    // A new key is written with the body as it was, and the choice survives the reload.
    ASSERT_TRUE(m.SetShortcut("Ctrl+Shift+F5").ok());
    EXPECT_EQ(b.Read("Logic/Reset.txt"), "Shortcut=Ctrl+Shift+F5\ntpl_begin\nL% = 0\ntpl_end");
    EXPECT_EQ(m.SelectedTemplate(), "Reset");
    EXPECT_EQ(m.ShortcutText(), "Ctrl+Shift+F5");
    ASSERT_TRUE(m.SetShortcut("").ok());
    EXPECT_EQ(m.ShortcutText(), "None");
    EXPECT_FALSE(m.Category()->visible);
    m.SetCategoryVisible(true);
    EXPECT_EQ(b.settings.GetInt("CatVisibility", "Logic", 7), 1);
    b.templates.Load();
    EXPECT_TRUE(m.Category()->visible) << "kept across a reload";

    const std::pair<const char*, const char*> forms[] = {
        {"a\r\n\tb", "a\n\tb"}, {"", ""}, {"\r\n", "\n"}, {"a\r\n\r\nb\r\n", "a\n\nb\n"}, {"x\ry", "x\ry"},
    };
    for (const auto& [body, text] : forms) {
        EXPECT_EQ(CTemplateViewerModel::EditTextFromBody(body), text) << body;
        EXPECT_EQ(CTemplateViewerModel::BodyFromEditText(text), body) << text;
    }
    EXPECT_EQ(CTemplateViewerModel::BodyFromEditText("a\r\nb"), "a\r\nb") << "a CR LF stays one break";
}

} // namespace
} // namespace rux
