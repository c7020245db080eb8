#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/string_table.h"
#include "editor/edit_session.h"
#include "editor/template_file.h"
#include "editor/template_insert.h"
#include "editor/template_manager.h"
#include "editor/template_menu.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

TEST(TemplateFile, ShortcutAndBodyLines) {
    struct Row {
        const char* bytes;
        const char* shortcut;
        const char* body;
    };
    const Row rows[] = {
        {"Shortcut=Ctrl+A\ntpl_begin\nx = 1\n\ty = 2\ntpl_end", "Ctrl+A", "x = 1\r\n\ty = 2"},
        {"Shortcut=F7\r\ntpl_begin\r\na\r\nb\r\ntpl_end\r\n", "F7", "a\r\nb"},
        // Other lines before tpl_begin are ignored; only the text after the first "=" is the key.
        {"notes\nShortcut=F7=x\ntpl_begin\nShortcut=body\ntpl_end\nafter", "F7=x", "Shortcut=body"},
        {"Shortcut=F2\nx = 1\n", "F2", ""}, // no tpl_begin: no body
        {"tpl_begin\n\na\n\ntpl_end", "", "\r\na\r\n"},
        {"tpl_begin\na\nb", "", "a\r\nb"}, // no tpl_end: to the end of the file
        {"tpl_begin\ntpl_end", "", ""},
    };
    for (const Row& row : rows) {
        const CTemplateText t = ParseTemplateFile(row.bytes);
        EXPECT_EQ(t.shortcut, row.shortcut) << row.bytes;
        EXPECT_EQ(t.body, row.body) << row.bytes;
    }
}

// Templates/: Empty holds no .txt, Hidden is switched off, a file at the root is no category.
struct CTemplateTree {
    test::CTempDir dir;
    CIniFile settings{dir.Write("Torvel.ini", "[CatVisibility]\nHidden=0\n")};
    CTemplateTree() {
        dir.Write("Templates/Motion/Ramp.txt", "Shortcut=Ctrl+Shift+R\ntpl_begin\na\r\n\tb\r\nc\ntpl_end");
        dir.Write("Templates/Logic/Latch.TXT", "tpl_begin\nIF S% THEN L% = 1\ntpl_end");
        dir.Write("Templates/Logic/No begin.txt", "Shortcut=F9\nL% = 0\n");
        dir.Write("Templates/Logic/readme.md", "not a template");
        dir.Write("Templates/Hidden/H.txt", "tpl_begin\nh\ntpl_end");
        dir.Write("Templates/Empty/notes.md", "");
        dir.Write("Templates/stray.txt", "tpl_begin\ns\ntpl_end");
    }
    CTplMgr Manager() { return CTplMgr(dir.File("Templates"), settings); }
};

TEST(Templates, LoadGivesIdsFrom7000InNameOrderAndBodiesById) {
    CTemplateTree tree;
    CTplMgr mgr = tree.Manager();
    mgr.Load();
    Lines seen;
    for (const CTplCat& c : mgr.Categories()) {
        seen.push_back(c.name + (c.visible ? "" : " (hidden)"));
        for (const CTpl& t : c.templates)
            seen.push_back(std::to_string(t.id) + " " + t.name + " [" + t.shortcut + "]");
    }
    EXPECT_EQ(seen, (Lines{"Empty", "Hidden (hidden)", "7000 H []", "Logic", "7001 Latch []",
                           "7002 No begin [F9]", "Motion", "7003 Ramp [Ctrl+Shift+R]"}));
    EXPECT_EQ(mgr.GetBody(7003), "a\r\n\tb\r\nc");
    EXPECT_EQ(mgr.GetBody(7002), "");
    EXPECT_EQ(mgr.GetBody(6999), "");
    EXPECT_EQ(mgr.GetBody(7004), "");
    mgr.Load();
    EXPECT_EQ(mgr.GetBody(7003), "a\r\n\tb\r\nc") << "a reload counts from 7000 again";

    CTplMgr missing(tree.dir.File("no such folder"), CIniFile::FromText(""));
    missing.Load();
    EXPECT_TRUE(missing.Categories().empty());
    EXPECT_TRUE(BuildTemplateMenu(missing, 10, 20).empty());
}

TEST(Templates, MenuShowsVisibleNonEmptyCategoriesByNameWithinTheLimits) {
    CTemplateTree tree;
    // 25 templates written in reverse order; names that sort differently with and without case.
    for (int i = 25; i >= 1; --i)
        tree.dir.Write("Templates/Many/T" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt",
                       "tpl_begin\nx\ntpl_end");
    tree.dir.Write("Templates/alpha/b.txt", "Shortcut=\ntpl_begin\nx\ntpl_end");
    tree.dir.Write("Templates/alpha/A.txt", "tpl_begin\nx\ntpl_end");
    CTplMgr mgr = tree.Manager();
    mgr.Load();

    auto captions = [](const CTemplateMenuCategory& c) {
        Lines out;
        for (const CTemplateMenuEntry& e : c.entries)
            out.push_back(e.caption);
        return out;
    };
    const auto menu = BuildTemplateMenu(mgr, 10, 20);
    Lines names;
    for (const auto& c : menu)
        names.push_back(c.caption);
    EXPECT_EQ(names, (Lines{"alpha", "Logic", "Many", "Motion"})) << "no Empty, no Hidden, no case order";
    EXPECT_EQ(captions(menu[0]), (Lines{"A", "b"})) << "an empty shortcut gives no tab";
    EXPECT_EQ(captions(menu[3]), (Lines{"Ramp\tCtrl+Shift+R"}));
    const Lines many = captions(menu[2]);
    ASSERT_EQ(many.size(), 20u);
    EXPECT_EQ(many.front(), "T01");
    EXPECT_EQ(many.back(), "T20");
    EXPECT_EQ(menu[2].entries[0].command, static_cast<int>(mgr.Categories()[3].templates[0].id));

    const auto limited = BuildTemplateMenu(mgr, 2, 1);
    ASSERT_EQ(limited.size(), 2u);
    EXPECT_EQ(limited[1].caption, "Logic");
    EXPECT_EQ(captions(limited[1]), (Lines{"Latch"}));
}

TEST(Templates, NamingChecksAndChangesOnDisk) {
    CTemplateTree tree;
    CTplMgr mgr = tree.Manager();
    mgr.Load();
    struct Row {
        const char* what;
        CTplResult result;
        const char* message; // "" for success
    };
    const Row rows[] = {
        {"existing category, other case", mgr.AddCategory("motion"),
         "A category with this name already exists."},
        {"slash", mgr.AddCategory("a/b"), "Invalid Name."},
        {"empty", mgr.AddCategory(""), "Invalid Name."},
        {"leading blank", mgr.AddCategory(" Pumps"), "Invalid Name."},
        {"settings key", mgr.AddCategory("a=b"), "Invalid Name."},
        {"dots", mgr.AddCategory(".."), "Invalid Name."},
        {"new category", mgr.AddCategory("Pumps"), ""},
        {"rename onto another", mgr.RenameCategory("Pumps", "LOGIC"),
         "A category with this name already exists."},
        {"rename, case only", mgr.RenameCategory("Pumps", "PUMPS"), ""},
        {"existing template", mgr.AddTemplate("Motion", "Ramp"), "A template with this name already exists."},
        {"template, star", mgr.AddTemplate("Motion", "R*"), "Invalid Name."},
        {"new template", mgr.AddTemplate("PUMPS", "Prime"), ""},
        {"rename onto another", mgr.RenameTemplate("Logic", "Latch", "No begin"),
         "A template with this name already exists."},
        {"rename template", mgr.RenameTemplate("Logic", "Latch", "Set latch"), ""},
        {"delete template", mgr.DeleteTemplate("Logic", "No begin"), ""},
        {"delete category", mgr.DeleteCategory("Empty"), ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.result.ok(), *row.message == 0) << row.what << ": " << row.result.reason;
        EXPECT_STREQ(LoadString(row.result.message), row.message) << row.what;
    }
    namespace fs = std::filesystem;
    const std::string root = tree.dir.File("Templates");
    EXPECT_TRUE(fs::is_regular_file(root + "/PUMPS/Prime.txt"));
    EXPECT_FALSE(fs::exists(root + "/Pumps"));
    EXPECT_TRUE(fs::is_regular_file(root + "/Logic/Set latch.txt"));
    EXPECT_FALSE(fs::exists(root + "/Logic/Latch.TXT"));
    EXPECT_FALSE(fs::exists(root + "/Logic/No begin.txt"));
    EXPECT_FALSE(fs::exists(root + "/Empty"));
    ASSERT_NE(mgr.FindCategory("Logic"), nullptr) << "each change reloads";
    EXPECT_EQ(mgr.FindCategory("Logic")->templates.size(), 1u);
    EXPECT_EQ(mgr.FindCategory("Logic")->templates[0].body, "IF S% THEN L% = 1");

    // Visibility is stored per category and follows a rename.
    mgr.SetCategoryVisible("Motion", false);
    EXPECT_TRUE(mgr.RenameCategory("Motion", "Drive").ok());
    CTplMgr again(root, tree.settings);
    again.Load();
    EXPECT_FALSE(again.FindCategory("Drive")->visible);
    EXPECT_TRUE(again.FindCategory("Logic")->visible);
    ASSERT_TRUE(again.DeleteCategory("Hidden").ok());
    ASSERT_TRUE(again.AddCategory("Hidden").ok());
    EXPECT_TRUE(again.FindCategory("Hidden")->visible) << "a new category of a deleted one's name";
}

TEST(Templates, SavedFileLoadsBackAndSavesByteForByte) {
    CTemplateTree tree;
    CTplMgr mgr = tree.Manager();
    mgr.Load();
    const std::string body = "\t// ramp\r\n\tIF A% THEN\r\n\r\n\tENDIF";
    ASSERT_TRUE(mgr.SaveTemplate("Motion", "Ramp", body, "Ctrl+Alt+F5").ok());
    const std::string path = tree.dir.File("Templates/Motion/Ramp.txt");
    const std::string bytes = test::CTempDir::Read(path);
    EXPECT_EQ(bytes, "Shortcut=Ctrl+Alt+F5\ntpl_begin\n\t// ramp\r\n\tIF A% THEN\r\n\r\n\tENDIF\ntpl_end");
    const CTpl& loaded = mgr.FindCategory("Motion")->templates[0];
    EXPECT_EQ(loaded.body, body);
    EXPECT_EQ(loaded.shortcut, "Ctrl+Alt+F5");
    ASSERT_TRUE(mgr.SaveTemplate("Motion", "Ramp", loaded.body, loaded.shortcut).ok());
    EXPECT_EQ(test::CTempDir::Read(path), bytes);
    ASSERT_TRUE(mgr.SaveTemplate("Motion", "Blank", "", "").ok());
    EXPECT_EQ(test::CTempDir::Read(tree.dir.File("Templates/Motion/Blank.txt")),
              "Shortcut=\ntpl_begin\n\ntpl_end");
}

TEST(Templates, BodyGoesInAsLinesAtTheCaretAndOneUndoTakesItOut) {
    const std::string program = ProgramBytes({"P", "{Background", "top:", "goto top:", "}"});
    auto run = RunScript(program, {"caret 3 1"});
    const std::string before = run.Saved();
    CEditSession& s = run.script->Session();
    ASSERT_TRUE(InsertTemplate(s, "a\r\n\tb\r\nc"));
    EXPECT_EQ(run.Lines(), (Lines{"", "Background", "top:", "a", "\tb", "c", "goto top:", "Background"}));
    const CObArrayEx& items = run.script->Document().Items();
    for (int i = 3; i <= 5; ++i)
        EXPECT_EQ(static_cast<const CItem*>(items.GetAt(i)->GetSection()), items.GetAt(1)) << i;
    EXPECT_EQ(s.Caret(), (CTextPos{1, 6}));
    s.Undo();
    EXPECT_EQ(run.Saved(), before);
    EXPECT_FALSE(s.CanUndo()) << "one group";

    EXPECT_FALSE(InsertTemplate(s, "")) << "an empty body does nothing";
    EXPECT_FALSE(s.CanUndo());
    s.SetOnline(true);
    EXPECT_FALSE(InsertTemplate(s, "x"));
    EXPECT_EQ(run.Saved(), before) << "online nothing goes in";
}

} // namespace
} // namespace rux
