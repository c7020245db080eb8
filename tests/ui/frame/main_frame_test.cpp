#include "editor_harness.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "resources/menus.h"
#include "shell/command_ids.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include <sys/stat.h>

namespace rux {
namespace {

using test::CEditorHarness;

const char* kExampleTitle = "RUX Editor - [conveyor_line.rux (Infeed conveyor, line A)]";

// The top-level menu titles of the frame's current menu bar.
QStringList MenuTitles(const CMainFrame& frame) {
    QStringList titles;
    for (QAction* a : frame.CurrentMenuBar()->actions()) titles << a->text();
    return titles;
}

TEST(MainFrameStartUp, WithoutAFileShowsTheEmptyFrame) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    EXPECT_EQ(frame.windowTitle(), "RUX Editor");
    EXPECT_EQ(frame.CurrentMenuId(), 128);
    EXPECT_EQ(MenuTitles(frame), QStringList({"&File", "&View", "&Options", "&Help"}));
    EXPECT_TRUE(frame.Children().empty());
    EXPECT_FALSE(frame.WorkspacePane()->isHidden());
    EXPECT_FALSE(frame.OutputPane()->isHidden());
    EXPECT_TRUE(frame.TaskManagerPane()->isHidden()) << "opened only when a program goes online";
    EXPECT_EQ(frame.dockWidgetArea(frame.WorkspacePane()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame.dockWidgetArea(frame.OutputPane()), Qt::BottomDockWidgetArea);
    // Edit mode: Standard shown, Debugging hidden, the online button hidden.
    EXPECT_FALSE(frame.Toolbar(128)->isHidden());
    EXPECT_TRUE(frame.Toolbar(140)->isHidden());
    EXPECT_FALSE(frame.Action(ID_ONLINE)->isVisible());
    // Status bar: the message pane, then the panes in order.
    struct Pane {
        int pane;
        const char* text;
        bool enabled;
    } panes[] = {{CMainFrame::kPaneMessage, "Ready", true}, {CMainFrame::kPanePosition, "", true},
                 {CMainFrame::kPaneRunState, "", true},     {CMainFrame::kPaneCom, "", true},
                 {CMainFrame::kPaneNum, "NUM", true},       {CMainFrame::kPaneCap, "CAP", true},
                 {CMainFrame::kPaneIns, "INS", true},       {CMainFrame::kPaneRead, "READ", false}};
    for (const Pane& p : panes) {
        EXPECT_EQ(frame.PaneText(p.pane), p.text) << p.pane;
        EXPECT_EQ(frame.IsPaneEnabled(p.pane), p.enabled) << p.pane;
    }
    EXPECT_EQ(frame.PaneText(CMainFrame::kPaneRead + 1), "") << "no pane beyond READ";
}

TEST(MainFrameStartUp, NumAndCapLightWhileTheirLocksAreOn) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    std::optional<CLockKeys> keyboard = CLockKeys{true, false};
    frame.SetLockKeysQuery([&] { return keyboard; });
    EXPECT_TRUE(frame.IsPaneEnabled(CMainFrame::kPaneNum));
    EXPECT_FALSE(frame.IsPaneEnabled(CMainFrame::kPaneCap));
    // Each row: the locks after one key stroke in the frame, and what the panes then show.
    struct Row {
        const char* what;
        std::optional<CLockKeys> locks;
        bool num, cap;
    };
    const Row rows[] = {
        {"Caps Lock on", CLockKeys{true, true}, true, true},
        {"Num Lock off", CLockKeys{false, true}, false, true},
        {"both off", CLockKeys{false, false}, false, false},
        {"the window system cannot say: as they were", std::nullopt, false, false},
        {"Num Lock on again", CLockKeys{true, false}, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        keyboard = row.locks;
        QTest::keyClick(frame.windowHandle(), Qt::Key_CapsLock);
        CEditorHarness::Settle();
        EXPECT_EQ(frame.IsPaneEnabled(CMainFrame::kPaneNum), row.num);
        EXPECT_EQ(frame.IsPaneEnabled(CMainFrame::kPaneCap), row.cap);
        EXPECT_TRUE(frame.IsPaneEnabled(CMainFrame::kPaneIns)) << "INS is not a lock";
    }
}

TEST(MainFrameStartUp, WithAProgramShowsItMaximisedAndEntered) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux");
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& frame = h.Frame();
    EXPECT_EQ(frame.windowTitle(), kExampleTitle);
    EXPECT_EQ(frame.CurrentMenuId(), 129);
    EXPECT_EQ(MenuTitles(frame), QStringList({"&File", "&Edit", "&View", "&Insert", "&Project", "&Run", "&Options",
                                              "&Window", "&Help"}));
    ASSERT_EQ(frame.Children().size(), 1u);
    EXPECT_TRUE(frame.Children()[0]->isMaximized());
    // Maximised, the window's buttons sit in the menu bar and the program takes the whole window,
    // with no empty caption above it.
    EXPECT_EQ(frame.Children()[0]->widget()->geometry(), frame.Children()[0]->rect());
    EXPECT_EQ(TreeText(frame.ProgramTree()), "conveyor_line.rux (Infeed conveyor, line A)\n");
    EXPECT_EQ(frame.BuildBar()->Count(CBuildBar::kBuildTab), 0) << "no error file: the Build tab stays empty";
    EXPECT_TRUE(h.boxes.empty());
    // Task Manager and Download need a node: in edit mode they are there, and disabled.
    for (int id : {ID_VIEW_TASK_MANAGER, ID_DOWNLOAD}) {
        ASSERT_NE(frame.Action(id), nullptr) << id;
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
        EXPECT_FALSE(frame.RunCommand(id)) << id;
    }
}

TEST(MainFrameStartUp, CtrlF6StepsThroughTheProgramWindows) {
    CEditorHarness h;
    const std::string first = h.CopyProgram("examples/conveyor_line.rux", "first.rux");
    const std::string second = h.CopyProgram("examples/errors.rux", "second.rux");
    const std::string third = h.CopyProgram("examples/legacy_spindle.rux", "third.rux");
    ASSERT_TRUE(h.Start({first}));
    ASSERT_NE(h.app->OpenDocumentFile(second), nullptr);
    ASSERT_NE(h.app->OpenDocumentFile(third), nullptr);
    CEditorHarness::Settle();
    CMainFrame& frame = h.Frame();
    auto activeName = [&] {
        const CRUXDocument* document = frame.ActiveDocument();
        return document ? std::filesystem::path(document->GetPathName()).filename().string() : std::string();
    };
    ASSERT_EQ(activeName(), "third.rux");
    // Each row: the key pressed in the frame and the program window active after it.
    const struct {
        Qt::KeyboardModifiers modifiers;
        const char* active;
    } rows[] = {
        {Qt::ControlModifier, "first.rux"},
        {Qt::ControlModifier, "second.rux"},
        {Qt::ControlModifier | Qt::ShiftModifier, "first.rux"},
        {Qt::ControlModifier | Qt::ShiftModifier, "third.rux"},
        {Qt::NoModifier, "third.rux"}, // F6 alone is Build and download's
    };
    for (const auto& row : rows) {
        QTest::keyClick(frame.ActiveChild()->View(), Qt::Key_F6, row.modifiers);
        CEditorHarness::Settle();
        EXPECT_EQ(activeName(), row.active) << row.modifiers;
    }
}

TEST(MainFrameStartUp, OpeningFillsTheBuildTabFromTheErrorFile) {
    CEditorHarness h;
    const std::string path = h.CopyProgram("examples/conveyor_line.rux", "line.rux");
    CEditorHarness::Write(h.Root() + "/line.ERR", "line.rux(12): error E101: unknown name\r\n\r\nline.rux(40,3-9): warning\n");
    ASSERT_TRUE(h.Start({path}));
    CBuildBar& bar = *h.Frame().BuildBar();
    ASSERT_EQ(bar.Count(CBuildBar::kBuildTab), 2);
    EXPECT_EQ(bar.Text(CBuildBar::kBuildTab, 0), "line.rux(12): error E101: unknown name");
    EXPECT_EQ(bar.Text(CBuildBar::kBuildTab, 1), "line.rux(40,3-9): warning");
}

TEST(MainFrameStartUp, AFileThatCannotBeReadEndsStartUpWithOneBoxSayingWhy) {
    struct {
        std::string name;                                 // under the harness root
        std::function<void(const std::string&)> make;     // creates it
        std::string box;                                  // the one box, after the path
    } cases[] = {
        {"missing.rux", [](const std::string&) {}, " could not be opened: No such file or directory."},
        {"folder.rux", [](const std::string& p) { std::filesystem::create_directory(p); },
         " could not be opened: it is a folder."},
        {"pipe.rux", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         " could not be opened: it is a FIFO, not a file."},
    };
    for (const auto& c : cases) {
        CEditorHarness h;
        const std::string path = h.Root() + "/" + c.name;
        c.make(path);
        EXPECT_FALSE(h.Start({path})) << c.name;
        ASSERT_EQ(h.boxes.size(), 1u) << c.name;
        EXPECT_TRUE(h.boxes[0].endsWith(QString::fromStdString(c.name + c.box))) << h.boxes[0].toStdString();
        EXPECT_EQ(h.icons[0], QMessageBox::Warning) << "a box without an icon gets the exclamation";
    }
    // The light edition's refusal is the document's own box; the frame adds none.
    CEditorHarness h;
    std::string text = CEditorHarness::Read(std::string(RUX_SOURCE_DIR) + "/examples/conveyor_line.rux");
    text.replace(text.find("H2Lite=0"), 8, "H2Lite=1");
    CEditorHarness::Write(h.Root() + "/lite.rux", text);
    EXPECT_FALSE(h.Start({h.Root() + "/lite.rux"}));
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0], "This is a HalmLite RUX file. Please use HalmLite to edit this file.");
}

TEST(MainFrameStartUp, ModeSwitchesPickTheToolbars) {
    struct Row {
        std::vector<std::string> switches;
        EditorMode mode;
        bool standard, debugging, online;
    } rows[] = {
        {{}, EditMode, true, false, false},
        {{"-d"}, DebugMode, true, false, true}, // a program view offline: Standard with the online button
    };
    for (const Row& r : rows) {
        CEditorHarness h;
        std::vector<std::string> args = r.switches;
        args.push_back(h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux"));
        ASSERT_TRUE(h.Start(args));
        CMainFrame& frame = h.Frame();
        EXPECT_EQ(frame.Mode(), r.mode) << args[0];
        EXPECT_EQ(!frame.Toolbar(128)->isHidden(), r.standard) << args[0];
        EXPECT_EQ(!frame.Toolbar(140)->isHidden(), r.debugging) << args[0];
        EXPECT_EQ(frame.Action(ID_ONLINE)->isVisible(), r.online) << args[0];
        // The entry belongs to the Project menu, where it is while it shows.
        QString holder;
        for (QAction* top : frame.CurrentMenuBar()->actions())
            if (top->menu() && top->menu()->actions().contains(frame.Action(ID_ONLINE))) holder = top->text();
        EXPECT_EQ(holder, "&Project") << args[0];
        EXPECT_EQ(frame.ActiveDocument()->IsDebugMode(), r.mode == DebugMode) << args[0];
    }
}

TEST(MainFrameStartUp, ShowOutputSwitchAndMainToolbarSetting) {
    CEditorHarness h;
    h.WriteSettings("[RUXToolbar]\nMain=0\n");
    ASSERT_TRUE(h.Start({"-o"}));
    EXPECT_FALSE(h.Frame().OutputPane()->isHidden());
    EXPECT_TRUE(h.Frame().Toolbar(128)->isHidden()) << "Main=0 hides the Standard toolbar";
    EXPECT_FALSE(h.Frame().Action(ID_VIEW_MAIN_TOOLBAR)->isChecked());
    h.Frame().RunCommand(ID_VIEW_MAIN_TOOLBAR);
    EXPECT_FALSE(h.Frame().Toolbar(128)->isHidden());
    EXPECT_TRUE(h.Frame().Action(ID_VIEW_MAIN_TOOLBAR)->isChecked());
}

TEST(MainFrameCommands, PanesToggleAndMirrorTheirChecks) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    struct Row {
        int command;
        QDockWidget* pane;
    } rows[] = {{ID_VIEW_SHOW_TREE, frame.WorkspacePane()}, {ID_VIEW_SHOW_OUTPUT, frame.OutputPane()}};
    for (const Row& r : rows) {
        EXPECT_TRUE(frame.Action(r.command)->isChecked()) << r.command;
        EXPECT_TRUE(frame.RunCommand(r.command));
        EXPECT_TRUE(r.pane->isHidden()) << r.command;
        EXPECT_FALSE(frame.Action(r.command)->isChecked()) << r.command;
        frame.RunCommand(r.command);
        EXPECT_FALSE(r.pane->isHidden()) << r.command;
        EXPECT_TRUE(frame.Action(r.command)->isChecked()) << r.command;
    }
    // View Log shows the Output pane on its Log tab.
    frame.RunCommand(ID_VIEW_SHOW_OUTPUT);
    frame.RunCommand(ID_VIEW_LOG);
    EXPECT_FALSE(frame.OutputPane()->isHidden());
    EXPECT_EQ(frame.BuildBar()->SelectedTab(), CBuildBar::kLogTab);
    // Status bar.
    frame.RunCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame.Action(ID_VIEW_STATUS_BAR)->isChecked());
}

TEST(MainFrameCommands, OptionTogglesReachTheOptionsAndAreWrittenAtExit) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    struct Row {
        int command, option;
    } rows[] = {{ID_OPT_AUTO_INDENT, OPT_AUTO_INDENT},
                {ID_OPT_TREE_SORT, OPT_TREE_SORT_ALPHA},
                {ID_OPT_BUILD_DIALOG, OPT_SHOW_BUILD_DIAG},
                {ID_OPT_DBLCLK_BREAKPOINT, OPT_DBLCLK_SET_BKP}};
    std::vector<int> before;
    for (const Row& r : rows) {
        before.push_back(h.app->Options().GetOption(r.option));
        EXPECT_EQ(frame.Action(r.command)->isChecked(), before.back() != 0) << r.command;
        frame.RunCommand(r.command);
        EXPECT_EQ(h.app->Options().GetOption(r.option), before.back() ? 0 : 1) << r.command;
        EXPECT_EQ(frame.Action(r.command)->isChecked(), before.back() == 0) << r.command;
    }
    frame.close();
    h.app.reset();
    const std::string ini = h.SettingsText();
    EXPECT_NE(ini.find("[Editor]"), std::string::npos) << ini;
    CEditorHarness::Settle();
}

TEST(MainFrameThemes, ChoosingAThemeStoresItAndChecksIt) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    CMainFrame& frame = h.Frame();
    EXPECT_EQ(frame.Theme(), 2) << "no Theme key: Cobalt";
    EXPECT_TRUE(frame.Action(ID_THEME_COBALT)->isChecked());
    struct Row {
        int command, number, pane;
    } rows[] = {{ID_THEME_ZINC, 0, 1}, {ID_THEME_TITANIUM, 1, 1}, {ID_THEME_TUNGSTEN, 3, 3}, {ID_THEME_COBALT, 2, 2}};
    QString lastSheet;
    for (const Row& r : rows) {
        frame.RunCommand(r.command);
        EXPECT_EQ(frame.Theme(), r.number);
        EXPECT_EQ(frame.PaneTheme(), r.pane);
        EXPECT_NE(h.SettingsText().find("Theme=" + std::to_string(r.number)), std::string::npos);
        for (const auto& theme : {ID_THEME_ZINC, ID_THEME_TITANIUM, ID_THEME_COBALT, ID_THEME_TUNGSTEN})
            EXPECT_EQ(frame.Action(theme)->isChecked(), theme == r.command) << theme;
        // Each theme looks different.
        EXPECT_NE(qApp->styleSheet(), lastSheet) << r.command;
        lastSheet = qApp->styleSheet();
    }
}

TEST(MainFrameThemes, StoredThemeOutsideTheMenuIsKept) {
    CEditorHarness h;
    h.WriteSettings("[MAINDESK]\nTheme=10\n");
    ASSERT_TRUE(h.Start({}));
    EXPECT_EQ(h.Frame().Theme(), 10);
    EXPECT_EQ(h.Frame().PaneTheme(), 19);
    for (const auto& theme : {ID_THEME_ZINC, ID_THEME_TITANIUM, ID_THEME_COBALT, ID_THEME_TUNGSTEN})
        EXPECT_FALSE(h.Frame().Action(theme)->isChecked()) << theme;
}

TEST(MainFrameMenus, EveryEntryHasATextAndMnemonicsAreUniquePerMenu) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux")}));
    std::function<void(QMenu*, const QString&)> check = [&](QMenu* menu, const QString& path) {
        std::map<QChar, QString> seen;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->isVisible()) continue;
            if (a->menu()) check(a->menu(), path + "/" + a->text());
            const QString text = a->text();
            EXPECT_FALSE(text.isEmpty()) << path.toStdString() << " id " << a->data().toInt();
            const int amp = static_cast<int>(text.indexOf('&'));
            if (amp < 0 || amp + 1 >= text.size()) continue;
            const QChar key = text[amp + 1].toLower();
            EXPECT_FALSE(seen.count(key)) << path.toStdString() << ": '" << text.toStdString() << "' and '"
                                          << seen[key].toStdString() << "' share &" << QString(key).toStdString();
            seen[key] = text;
        }
    };
    for (QAction* top : h.Frame().CurrentMenuBar()->actions()) {
        emit top->menu()->aboutToShow();
        check(top->menu(), top->text());
    }
}

TEST(MainFrameMenus, ToolbarsHoldTheirButtonsWithIconsAndTooltips) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({}));
    for (const CToolbarDef& def : Toolbars()) {
        QToolBar* bar = h.Frame().Toolbar(def.id);
        ASSERT_NE(bar, nullptr);
        const QList<QAction*> actions = bar->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(def.buttons.size())) << def.name;
        for (size_t i = 0; i < def.buttons.size(); ++i) {
            const int id = def.buttons[i];
            QAction* a = actions[static_cast<qsizetype>(i)];
            if (id == 0) {
                EXPECT_TRUE(a->isSeparator()) << def.name << " " << i;
                continue;
            }
            EXPECT_EQ(a->data().toInt(), id) << def.name << " " << i;
            EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << id;
            EXPECT_FALSE(a->toolTip().isEmpty()) << id;
        }
    }
    EXPECT_EQ(h.Frame().Action(ID_BUILD)->toolTip(), "Build code (Ctrl+B)");
}

} // namespace
} // namespace rux
