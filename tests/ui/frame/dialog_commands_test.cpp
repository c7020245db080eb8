// The dialogs the menus open, in a running editor: each opens from its command, OK applies what the
// user changed, Cancel changes nothing.
#include "program_editor.h"

#include "app/help_opener.h"
#include "dialogs/colors_dialog.h"
#include "dialogs/find_replace_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/format_style_dialog.h"
#include "dialogs/goto_dialog.h"
#include "dialogs/insert_task_dialog.h"
#include "dialogs/node_description_dialog.h"
#include "dialogs/properties_dialog.h"
#include "dialogs/tab_stops_dialog.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "frame/dialog_commands.h"
#include "frame/mdi_child.h"
#include "panes/tree_bar.h"
#include "shell/command_ids.h"
#include "shell/ini_file.h"
#include "shell/setting.h"
#include "view/qt_view_metrics.h"
#include "view/rux_view.h"
#include "view/view_environment.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;
using test::DialogProgram;
using test::WhenModal;

struct CEditorWithProgram : test::CProgramEditor {
    explicit CEditorWithProgram(const std::string& settings = {})
        : CProgramEditor("dialog.rux", {"P", "{Background", "a = 1", "b = 2", "c = 3", "}", "tail"}, settings) {}
    CDialogCommands& Commands() const {
        for (CCommandTarget* target : h.Frame().Router().Extensions())
            if (auto* commands = dynamic_cast<CDialogCommands*>(target)) return *commands;
        throw std::logic_error("no dialog commands");
    }
    // Runs the command; `step` acts on the modal dialog it opens, which must be of type D.
    template <class D> bool RunWithDialog(int command, const std::function<void(D&)>& step) {
        bool seen = false;
        WhenModal([&](QWidget* modal) {
            auto* dialog = dynamic_cast<D*>(modal);
            if (!dialog) {
                static_cast<QDialog*>(modal)->reject();
                return;
            }
            seen = true;
            step(*dialog);
        });
        EXPECT_TRUE(h.Frame().RunCommand(command)) << command;
        CEditorHarness::Settle(20);
        return seen;
    }
};

void Ok(QDialog& dialog) {
    QTest::keyClick(&dialog, Qt::Key_Return);
}
void Cancel(QDialog& dialog) {
    QTest::keyClick(&dialog, Qt::Key_Escape);
}

using FRun = std::function<void(CEditorWithProgram&, int command, bool ok)>;

// A row's run: the command opens a D, `change` edits it, then OK or Cancel by Return and Escape,
// or through the dialog's slots where Return belongs to a text box or a chooser.
template <class D> FRun Edit(std::function<void(D&)> change, bool byKey = true) {
    return [=](CEditorWithProgram& e, int command, bool ok) {
        EXPECT_TRUE(e.RunWithDialog<D>(command, [&](D& d) {
            change(d);
            if (byKey)
                ok ? Ok(d) : Cancel(d);
            else
                ok ? d.accept() : d.reject();
        }));
    };
}

// Each dialog of the settings and of the program: what the user does, and what must hold after OK;
// after Cancel neither the settings nor the program have changed.
TEST(DialogCommands, DialogsApplyOnOkAndCancelChangesNothing) {
    const std::string settings =
        "[RUXCOLOR]\nTabSize=3\nCvrtTab=0\nColorKwd=255\nFontName=arial\nFontSize=120\n";
    struct Row {
        const char* name;
        int command;
        FRun run;
        std::function<void(CEditorWithProgram&)> checkOk;
    };
    const Row rows[] = {
        {"tab stops", ID_FORMAT_TAB_STOPS, Edit<CDlgTabStops>([](CDlgTabStops& d) {
             d.SizeSpin()->setValue(6);
             d.KeepTabs()->setChecked(true);
         }),
         [](CEditorWithProgram& e) {
             // Saved at once, and every open view works with the new size.
             CIniFile ini(e.h.Product() + "/Torvel.ini");
             EXPECT_EQ(ini.GetInt("RUXCOLOR", "TabSize", 0), 6);
             EXPECT_EQ(ini.GetInt("RUXCOLOR", "CvrtTab", -1), 1);
             EXPECT_EQ(e.Session().Settings().tabSize, 6);
             EXPECT_TRUE(e.Session().Settings().insertTabs);
         }},
        {"colours", ID_FORMAT_COLORS, Edit<CDlgColors>([](CDlgColors& d) { d.DefaultButton()->click(); }),
         [](CEditorWithProgram& e) {
             EXPECT_EQ(CViewEnvironment::Default().Settings().GetColor(7), 0xC80000u);
             EXPECT_EQ(CIniFile(e.h.Product() + "/Torvel.ini").GetInt("RUXCOLOR", "ColorKwd", 0), 0xC80000);
         }},
        {"font", ID_FORMAT_FONT, Edit<CDlgFont>([](CDlgFont& d) { d.DefaultButton()->click(); }, false),
         [](CEditorWithProgram& e) {
             EXPECT_EQ(CViewEnvironment::Default().Settings().Font(), CSetting::DefaultFont());
             // The view measures with the new font; the file gets it when the frame saves.
             CQtViewMetrics expected, before;
             expected.SetFont(MakeViewFont(CSetting::DefaultFont()), 2);
             before.SetFont(MakeViewFont(CFontDesc{"arial", 120, 400, false}), 2);
             ASSERT_NE(expected.LineHeight(), before.LineHeight());
             EXPECT_EQ(e.View().Metrics().LineHeight(), expected.LineHeight());
             e.h.Frame().SaveShellSettings();
             EXPECT_EQ(CIniFile(e.h.Product() + "/Torvel.ini").GetString("RUXCOLOR", "FontName", ""),
                       "courier new");
         }},
        {"style", ID_FORMAT_STYLE,
         [](CEditorWithProgram& e, int command, bool ok) {
             EXPECT_TRUE(e.RunWithDialog<CDlgFormatStyle>(command, [ok](CDlgFormatStyle& d) {
                 const auto found = d.List()->findItems("High Contrast", Qt::MatchExactly);
                 ASSERT_EQ(found.size(), 1);
                 d.List()->setCurrentItem(found[0]);
                 if (ok) d.ApplyButton()->click();
                 d.reject();
             }));
         },
         [](CEditorWithProgram& e) {
             const CIniFile styles(e.h.Product() + "/HALM.STY");
             const int keyword = styles.GetInt("High Contrast", "ColorKwd", -1);
             ASSERT_NE(keyword, -1);
             EXPECT_EQ(CViewEnvironment::Default().Settings().GetColor(7), static_cast<ColorRef>(keyword));
             EXPECT_EQ(CIniFile(e.h.Product() + "/Torvel.ini").GetInt("RUXCOLOR", "ColorKwd", 0), keyword);
         }},
        {"go to line", ID_EDIT_GOTO_LINE, Edit<CDlgGoto>([](CDlgGoto& d) { d.LineEdit()->setText("4"); }),
         [](CEditorWithProgram& e) {
             EXPECT_EQ(e.Session().Caret(), (CTextPos{1, 4}));
             EXPECT_EQ(e.h.Frame().PaneText(CMainFrame::kPanePosition), "Ln 4, Col 1");
         }},
        {"insert task", ID_INSERT_SECTION, Edit<CDlgInsertTask>([](CDlgInsertTask& d) {
             // The program's drive offers its own names; any typed name goes.
             EXPECT_GT(d.List()->count(), 0);
             d.NameEdit()->selectAll();
             QTest::keyClicks(d.NameEdit(), "Conveyor");
         }),
         [](CEditorWithProgram& e) {
             const auto texts = e.Lines();
             EXPECT_EQ(std::count(texts.begin(), texts.end(), "Conveyor"), 2) << "header and footer";
             EXPECT_TRUE(e.Document().IsModified());
             // One undo group takes the whole section away again.
             e.h.Frame().RunCommand(ID_EDIT_UNDO);
             const auto after = e.Lines();
             EXPECT_EQ(std::count(after.begin(), after.end(), "Conveyor"), 0);
         }},
        {"node description", ID_NODE_DESCRIPTION,
         Edit<CDlgNodeDescription>(
             [](CDlgNodeDescription& d) { d.TextEdit()->setPlainText("Line A\ninfeed"); }, false),
         [](CEditorWithProgram& e) {
             EXPECT_EQ(e.Document().GetHeader()->Header().Descriptor, "Line A\ninfeed");
             EXPECT_TRUE(e.Document().IsModified());
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (bool ok : {false, true}) {
            CEditorWithProgram e(settings);
            ASSERT_TRUE(e.started);
            ASSERT_TRUE(e.h.Frame().Action(row.command)->isEnabled());
            const std::string before = e.h.SettingsText();
            const auto texts = e.Lines();
            const CTextPos caret = e.Session().Caret();
            row.run(e, row.command, ok);
            if (ok) {
                row.checkOk(e);
                continue;
            }
            // As the settings file had them at start-up.
            const CSetting& s = CViewEnvironment::Default().Settings();
            EXPECT_EQ(s.TabSize(), 3);
            EXPECT_EQ(s.TabHandlingMode(), 0);
            EXPECT_EQ(s.GetColor(7), 255u);
            EXPECT_EQ(s.Font().face, "arial");
            EXPECT_EQ(s.Font().size, 120);
            EXPECT_EQ(e.Session().Settings().tabSize, 3);
            EXPECT_FALSE(e.Session().Settings().insertTabs);
            EXPECT_EQ(e.h.SettingsText(), before) << "Cancel writes nothing";
            EXPECT_EQ(e.Lines(), texts);
            EXPECT_EQ(e.Session().Caret(), caret);
            EXPECT_FALSE(e.Document().IsModified());
            EXPECT_TRUE(e.Document().GetHeader()->Header().Descriptor.empty());
        }
    }
}

TEST(DialogCommands, PropertiesFromTheHeaderRowChangeTheTitleAsOneUndoGroup) {
    for (bool ok : {false, true}) {
        CEditorWithProgram e;
        ASSERT_TRUE(e.started);
        const QString title = e.h.Frame().windowTitle();
        const QPoint header = e.View().RowRect(0).center();
        WhenModal([ok](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgProperties*>(modal);
            ASSERT_NE(dialog, nullptr);
            QLineEdit* edit = dialog->Edit(CNodePropertiesForm::kTitle);
            edit->selectAll();
            QTest::keyClicks(edit, "Belt B");
            ok ? Ok(*dialog) : Cancel(*dialog);
        });
        QTest::mouseDClick(e.View().viewport(), Qt::LeftButton, Qt::NoModifier, header);
        CEditorHarness::Settle(20);
        if (!ok) {
            EXPECT_EQ(e.h.Frame().windowTitle(), title);
            EXPECT_EQ(e.Document().GetHeader()->Header().Title, "Line");
            continue;
        }
        EXPECT_EQ(e.Document().GetHeader()->Header().Title, "Belt B");
        EXPECT_EQ(e.h.Frame().windowTitle(), "RUX Editor - [dialog.rux (Belt B) *]");
        ASSERT_TRUE(e.h.Frame().Action(ID_EDIT_UNDO)->isEnabled());
        e.h.Frame().RunCommand(ID_EDIT_UNDO);
        EXPECT_EQ(e.Document().GetHeader()->Header().Title, "Line");
    }
}

TEST(DialogCommands, UserFunctionBlockTakesTheEditorsHeaderWithTheTargetsLimits) {
    for (bool confirm : {false, true}) {
        CEditorWithProgram e;
        ASSERT_TRUE(e.started);
        int maxIn = 0, maxOut = 0;
        e.Commands().SetHeaderEditor([&](std::string& header, int, int in, int out) {
            maxIn = in;
            maxOut = out;
            header = "q = _Ramp(a, b)";
            return confirm;
        });
        const size_t before = e.Lines().size();
        EXPECT_TRUE(e.h.Frame().RunCommand(ID_INSERT_UDFB));
        // DRVDEF.HDW of the product directory, or 256 each for a type it does not name.
        const CIniFile limits(e.h.Product() + "/DRVDEF.HDW");
        EXPECT_EQ(maxIn, limits.GetInt("KESTREL", "MaxParamIn", 256));
        EXPECT_EQ(maxOut, limits.GetInt("KESTREL", "MaxParamOut", 256));
        const auto texts = e.Lines();
        if (!confirm) {
            EXPECT_EQ(texts.size(), before);
            continue;
        }
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "q = _Ramp(a, b)"), 2) << "header and footer";
    }
}

// Without a stand-in, the compiler library's own dialog asks for the header; what it shows as the
// header is what goes into the program.
TEST(DialogCommands, UserFunctionBlockThroughTheCompilerLibrary) {
    CEditorWithProgram e;
    ASSERT_TRUE(e.started);
    QString preview;
    WhenModal([&](QWidget* modal) {
        auto field = [modal](const char* name) {
            return modal->findChild<QLineEdit*>(QString::fromLatin1(name));
        };
        ASSERT_NE(field("blockName"), nullptr);
        field("outputs")->setText("q");
        field("blockName")->setText("_Ramp");
        field("inputs")->setText("a, b");
        preview = field("preview")->text();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_TRUE(e.h.Frame().RunCommand(ID_INSERT_UDFB));
    CEditorHarness::Settle(20);
    ASSERT_TRUE(preview.contains("_Ramp")) << preview.toStdString();
    const auto texts = e.Lines();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), preview.toStdString()), 2) << "header and footer";
}

// A double-click on a section header's text edits it: a task in the task dialog, a function block
// in the compiler library's header dialog, each starting from the header as it is.
TEST(DialogCommands, HeaderDoubleClickRenamesHeaderAndFooter) {
    struct Row {
        const char* name;
        const char* header;
        std::function<QString(QWidget* modal)> edit; // answers the new header text, or empty to cancel
        const char* node[2];                          // the section's node after Cancel and after OK
    };
    const Row rows[] = {
        {"task", "Background",
         [](QWidget* modal) {
             auto* dialog = dynamic_cast<CDlgInsertTask*>(modal);
             EXPECT_NE(dialog, nullptr);
             if (!dialog) return QString();
             EXPECT_EQ(dialog->NameEdit()->text(), "Background");
             dialog->NameEdit()->selectAll();
             QTest::keyClicks(dialog->NameEdit(), "Clock");
             return QString("Clock");
         },
         {"Background", "Clock"}},
        {"function block", "q = _F(a)",
         [](QWidget* modal) {
             auto* name = modal->findChild<QLineEdit*>("blockName");
             EXPECT_NE(name, nullptr);
             if (!name) return QString();
             EXPECT_EQ(name->text(), "_F");
             modal->findChild<QLineEdit*>("inputs")->setText("a, b");
             return modal->findChild<QLineEdit*>("preview")->text();
         },
         {"_F", "_F"}},
    };
    for (const Row& row : rows) {
        for (bool ok : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (ok ? " ok" : " cancel"));
            test::CProgramEditor e("h.rux", {"P", std::string("{") + row.header, "x = 1", "}"});
            ASSERT_TRUE(e.started);
            CRUXView* view = &e.View();
            QString expected;
            WhenModal([&](QWidget* modal) {
                expected = row.edit(modal);
                QTest::keyClick(modal, ok ? Qt::Key_Return : Qt::Key_Escape);
            });
            const QRect header = view->RowRect(1);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                               QPoint(header.left() + 200, header.center().y()));
            CEditorHarness::Settle(20);
            ASSERT_FALSE(expected.isEmpty());
            const auto& items = view->Document().Items();
            const std::string now = ok ? expected.toStdString() : std::string(row.header);
            EXPECT_EQ(items.GetAt(1)->GetText(), now);
            EXPECT_EQ(items.GetAt(3)->GetText(), now) << "the footer follows";
            EXPECT_EQ(view->Document().IsModified(), ok);
            // A renamed header keeps the line count: the tree still shows the new name.
            const QString tree = qobject_cast<CTreeBar*>(e.h.Frame().ProgramTree())->Dump();
            EXPECT_TRUE(tree.contains(QString("\n    %1\n").arg(row.node[ok]))) << tree.toStdString();
        }
    }
}

TEST(DialogCommands, FileAsksTheChooserFromTheProgramsFolderAndInsertsAtTheCaret) {
    CEditorWithProgram e;
    ASSERT_TRUE(e.started);
    const std::string other = e.h.Root() + "/other.rux";
    CEditorHarness::Write(other, DialogProgram({"P", "x1 = 5", "x2 = 6"}));
    QString asked;
    e.Commands().SetFileChooser([&](const QString& initial) {
        asked = initial;
        return QString::fromStdString(other);
    });
    e.View().GoToItem(3);
    ASSERT_TRUE(e.h.Frame().Action(ID_EDIT_INSERT_FILE)->isEnabled());
    EXPECT_TRUE(e.h.Frame().RunCommand(ID_EDIT_INSERT_FILE));
    EXPECT_EQ(asked, QString::fromStdString("-i " + e.path));
    // The other program's lines without its header, in front of the caret's line.
    const auto texts = e.Lines();
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[3], "x1 = 5");
    EXPECT_EQ(texts[4], "x2 = 6");
    EXPECT_EQ(texts[5], "b = 2");
    EXPECT_TRUE(e.Document().IsModified());
}

TEST(DialogCommands, FindIsModelessKeepsItsStateAndDrivesTheActiveView) {
    CEditorWithProgram e;
    ASSERT_TRUE(e.started);
    auto* find = e.h.Frame().findChild<RUX_CDlgFindReplace*>("FindReplaceDialog");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isHidden()) << "created hidden with the frame";
    ASSERT_TRUE(e.h.Frame().RunCommand(ID_EDIT_FIND_REPLACE));
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->isModal());
    find->FindCombo()->setEditText("c = ");
    find->FindNextButton()->click();
    EXPECT_EQ(e.Session().SelectionStart(), (CTextPos{1, 4}));
    EXPECT_EQ(e.Session().SelectionStop(), (CTextPos{5, 4}));
    // A second program becomes the target once its window is active.
    const std::string second = e.h.Root() + "/second.rux";
    CEditorHarness::Write(second, DialogProgram({"P", "x", "c = 9"}));
    ASSERT_NE(e.h.app->OpenDocumentFile(second), nullptr);
    CEditorHarness::Settle(20);
    auto* view2 = qobject_cast<CRUXView*>(e.h.Frame().ActiveChild()->View());
    ASSERT_NE(view2, &e.View());
    find->FindNextButton()->click();
    EXPECT_EQ(view2->Session().SelectionStart(), (CTextPos{1, 2}));
    EXPECT_EQ(e.Session().SelectionStart(), (CTextPos{1, 4})) << "the first view is left alone";
    find->hide();
}

// After a dialog closes the frame has the keyboard again, in the program view, also when the window
// system gives it to nobody (a bare X server).
TEST(DialogCommands, EveryDialogHandsTheKeyboardBackToTheProgramView) {
    const auto nobodyActive = [] { QApplication::setActiveWindow(nullptr); };
    const struct {
        const char* what;
        int command;
        const char* line; // typed into Go to line before Enter; null: Escape
    } rows[] = {
        {"Go to line, Escape", ID_EDIT_GOTO_LINE, nullptr},
        {"Go to line, Enter", ID_EDIT_GOTO_LINE, "2"},
        {"Find/Replace, Escape", ID_EDIT_FIND_REPLACE, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CEditorWithProgram e;
        ASSERT_TRUE(e.started);
        if (row.command == ID_EDIT_GOTO_LINE)
            WhenModal([&](QWidget* modal) {
                auto* dialog = dynamic_cast<CDlgGoto*>(modal);
                ASSERT_NE(dialog, nullptr);
                if (row.line) dialog->LineEdit()->setText(row.line);
                QTest::keyClick(dialog, row.line ? Qt::Key_Return : Qt::Key_Escape);
                nobodyActive();
            });
        EXPECT_TRUE(e.h.Frame().RunCommand(row.command));
        if (row.command == ID_EDIT_FIND_REPLACE) {
            // The modeless dialog is open and has the keyboard until Escape.
            auto* find = e.h.Frame().findChild<RUX_CDlgFindReplace*>("FindReplaceDialog");
            ASSERT_TRUE(find && find->isVisible());
            QTest::keyClick(find->focusWidget() ? find->focusWidget() : find, Qt::Key_Escape);
            EXPECT_FALSE(find->isVisible());
            nobodyActive();
        }
        EXPECT_TRUE(
            CEditorHarness::WaitFor([&] { return QApplication::activeWindow() == &e.h.Frame(); }, 2000));
        EXPECT_EQ(QApplication::focusWidget(), &e.View());
    }
}

// Help in a dialog the editor opens hands the dialog's help context to the help library, the dialog
// owning the help window; without a stand-in the library opens the topic's page.
TEST(DialogCommands, HelpButtonsOpenTheirDialogsTopic) {
    struct COpener {
        COpener() {
            CHelpOpener::SetOpener([this](int context, QWidget* owner) {
                asked.push_back({context, owner});
            });
        }
        ~COpener() { CHelpOpener::SetOpener({}); }
        std::vector<std::pair<int, QWidget*>> asked;
    };
    // Runs the command and presses Help on its dialog; the dialog, and whether Help was shown.
    const auto pressHelp = [](CEditorWithProgram& e, int command, bool& shown) {
        QWidget* dialog = nullptr;
        WhenModal([&](QWidget* modal) {
            dialog = modal;
            auto* box = modal->findChild<QDialogButtonBox*>();
            QPushButton* help = box ? box->button(QDialogButtonBox::Help) : nullptr;
            shown = help && help->isVisible();
            if (help) QTest::mouseClick(help, Qt::LeftButton);
            static_cast<QDialog*>(modal)->reject();
        });
        EXPECT_TRUE(e.h.Frame().RunCommand(command)) << command;
        CEditorHarness::Settle(20);
        return dialog;
    };
    const struct {
        int command;
        int context;
    } rows[] = {
        {ID_FORMAT_COLORS, 0x20000 + 204}, {ID_FORMAT_TAB_STOPS, 0x20000 + 106}, {ID_IMPORT_UDFB, 0x28000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        CEditorWithProgram e;
        ASSERT_TRUE(e.started);
        COpener opener;
        bool shown = false;
        QWidget* dialog = pressHelp(e, row.command, shown);
        EXPECT_TRUE(shown);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(opener.asked, (std::vector<std::pair<int, QWidget*>>{{row.context, dialog}}));
    }
    CEditorWithProgram e;
    ASSERT_TRUE(e.started);
    QTextBrowser browser;
    QDesktopServices::setUrlHandler("file", &browser, "setSource");
    bool shown = false;
    pressHelp(e, ID_FORMAT_TAB_STOPS, shown);
    QDesktopServices::unsetUrlHandler("file");
    const QString page = browser.source().toLocalFile();
    EXPECT_TRUE(page.endsWith("/Help/Topics/Defining_Tab_Stops.html")) << page.toStdString();
    EXPECT_TRUE(browser.toPlainText().contains("Keep tabs")) << "the page itself was found";
}

} // namespace
} // namespace rux
