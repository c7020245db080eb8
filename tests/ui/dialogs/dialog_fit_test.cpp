// Every dialog at the normal font size and at twice that (a desktop at 200 %): nothing clipped,
// nothing outside, every control reachable by Tab, no mnemonic used twice. With RUX_SCREENSHOT_DIR
// set, each dialog is also saved there as a PNG, in the look of theme RUX_SCREENSHOT_THEME if set.
#include "dialog_test_support.h"

#include "dialogs/category_name_dialog.h"
#include "dialogs/colors_dialog.h"
#include "dialogs/edit_shortcut_dialog.h"
#include "dialogs/find_replace_dialog.h"
#include "dialogs/find_target.h"
#include "dialogs/font_dialog.h"
#include "dialogs/format_style_dialog.h"
#include "dialogs/goto_dialog.h"
#include "dialogs/import_information_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "dialogs/insert_task_dialog.h"
#include "dialogs/node_description_dialog.h"
#include "dialogs/properties_dialog.h"
#include "dialogs/tab_stops_dialog.h"
#include "dialogs/template_dialog.h"
#include "dialogs/template_viewer_dialog.h"
#include "document/header_item.h"
#include "document/node_description_form.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "editor/accel_mgr.h"
#include "editor/task_list.h"
#include "fb_header_dialog.h"
#include "frame/themes.h"
#include "import/indexer_fb_form.h"
#include "shell/command_ids.h"
#include "shell/ini_file.h"
#include "shell/setting.h"
#include "shell/style_file.h"
#include "shell/theme.h"
#include "support/fake_target.h"
#include "target/library_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

namespace rux {
namespace {

class CNoLibraries : public CLibraryService {
public:
    int CreateLibrary(const std::string&) override { return 1; }
};

// Everything the dialogs stand on, filled as a user would see it.
struct CFitBench {
    CFitBench()
        : program({"P", "speed% = 1", "{Background", "x% = speed%", "}"}, false, &target),
          findTarget(program.Session()),
          styles(CIniFile::FromText("[STYLE_NAME]\nStyle1=Classic\nStyle2=Night\n")) {
        QFile tsk(dir.filePath(QStringLiteral("DRIVE.TSK")));
        tsk.open(QIODevice::WriteOnly);
        tsk.write("[VQ5A]\nName1=Initial\nName2=Background\nName3=Clock\nName4=Error\n");
        tsk.close();
        find.SetFindText("speed%");
        find.SetReplaceText("rate%");
        find.RememberFindText();
        fb.Parse("(out%, done) = _Ramp(target, step%)");
        program.Document().ModifyItem(0, [](CItem& item) {
            CRuxHeader& header = static_cast<CPar&>(item).Header();
            header.Company = "Drive Works";
            header.Version = "2.1";
            header.UserProgEnabled = 1;
            return true;
        });
        const int commands[] = {ID_EDIT_COPY};
        accels.BuildTable(CAccelMgr::kProgramMenu, commands);
    }
    test::CFakeTarget target;
    test::CDialogProgram program;
    CSessionFindTarget findTarget;
    CFindReplaceModel find;
    QTemporaryDir dir;
    CSetting setting;
    CStyleFile styles;
    CNoLibraries libraries;
    CFbHeaderModel fb{256, 256};
    CNodeDescriptionForm description{"Conveyor line 2, station 4.\nKeep the guard closed.", false};
    std::unique_ptr<CNodePropertiesForm> properties;
    std::unique_ptr<CTaskListModel> tasks;
    CIndexerUDFBForm indexerFb;
    std::unique_ptr<CTplMgr> templates;
    std::unique_ptr<CTemplateViewerModel> tplModel;
    // Two categories, the first with a template of a few lines and a key.
    CTemplateViewerModel& Templates() {
        const QString root = dir.filePath(QStringLiteral("Templates"));
        QDir().mkpath(root + "/Motion");
        QDir().mkpath(root + "/Pumps");
        QFile file(root + "/Motion/Ramp up.txt");
        file.open(QIODevice::WriteOnly);
        file.write("Shortcut=Ctrl+Shift+R\ntpl_begin\nACCEL = 100\nSPEED = target%\n\tGO\ntpl_end");
        file.close();
        templates = std::make_unique<CTplMgr>(root.toStdString(), CIniFile::FromText(""));
        templates->Load();
        tplModel = std::make_unique<CTemplateViewerModel>(*templates);
        return *tplModel;
    }
    CAccelMgr accels;
};

using Factory = std::function<std::unique_ptr<QDialog>(CFitBench&)>;

// A dialog whose Help button would open a page: the handler keeps it inside the test.
template <class D, class... Args> std::unique_ptr<QDialog> WithoutHelp(Args&... args) {
    auto d = std::make_unique<D>(args...);
    d->SetHelpHandler([](const std::string&) {});
    return d;
}

const std::vector<std::pair<const char*, Factory>>& Dialogs() {
    static const std::vector<std::pair<const char*, Factory>> dialogs = {
        {"find_replace",
         [](CFitBench& b) {
             auto d = std::make_unique<RUX_CDlgFindReplace>(b.find);
             d->SetTarget(&b.findTarget);
             return std::unique_ptr<QDialog>(std::move(d));
         }},
        {"goto", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgGoto(b.program.Session())); }},
        {"properties",
         [](CFitBench& b) {
             b.properties = std::make_unique<CNodePropertiesForm>(b.program.Document().GetHeader()->Header(),
                                                                  b.target, false);
             return std::unique_ptr<QDialog>(new CDlgProperties(*b.properties, b.libraries));
         }},
        {"insert_task",
         [](CFitBench& b) {
             b.tasks = std::make_unique<CTaskListModel>(b.dir.path().toStdString(), "VQ5A");
             return std::unique_ptr<QDialog>(new CDlgInsertTask(*b.tasks));
         }},
        {"node_description",
         [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgNodeDescription(b.description)); }},
        {"font", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgFont(b.setting)); }},
        {"colors", [](CFitBench& b) { return WithoutHelp<CDlgColors>(b.setting); }},
        {"tab_stops", [](CFitBench& b) { return WithoutHelp<CDlgTabStops>(b.setting); }},
        {"format_style", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgFormatStyle(b.styles, b.setting)); }},
        {"fb_header", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgFbHeader(b.fb)); }},
        {"indexer_udfb", [](CFitBench& b) { return WithoutHelp<CDlgIndexerUDFB>(b.indexerFb); }},
        {"template_viewer",
         [](CFitBench& b) {
             b.Templates();
             CTemplateViewerHost host{[] { return true; }, [](const std::string&) {}, [] {}, nullptr, {}};
             return std::unique_ptr<QDialog>(new CDlgTplViewer(*b.templates, host));
         }},
        {"template_category",
         [](CFitBench&) {
             return std::unique_ptr<QDialog>(
                 new CDlgCategoryName(IDS_TPL_EDIT_CATEGORY, "Motion", [](std::string_view) { return 0; }));
         }},
        {"template_new", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgNewTpl(b.Templates())); }},
        {"template_edit", [](CFitBench& b) { return std::unique_ptr<QDialog>(new CDlgEditTpl(b.Templates())); }},
        {"edit_shortcut",
         [](CFitBench& b) {
             // The widest owner text the dialog shows.
             auto menuText = [](int) { return std::string(); };
             return std::unique_ptr<QDialog>(new CDlgEditShortcut(b.accels, menuText, "ctrl+c"));
         }},
        {"import_information",
         [](CFitBench&) {
             std::ifstream in(std::string(RUX_SOURCE_DIR) + "/data/QuodexImportInformation.txt");
             const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
             return std::unique_ptr<QDialog>(new CDlgImportInformation(text));
         }},
    };
    return dialogs;
}

// "&" letters of the visible buttons and buddied labels, one list per letter.
std::string MnemonicClashes(QWidget* dialog) {
    std::map<QChar, QStringList> uses;
    auto note = [&](const QString& text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != QLatin1Char('&')) continue;
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            uses[text[i + 1].toLower()] << text;
            break;
        }
    };
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(dialog)) note(button->text());
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->isVisibleTo(dialog) && label->buddy()) note(label->text());
    std::string clashes;
    for (const auto& [letter, texts] : uses)
        if (texts.size() > 1) clashes += texts.join(QStringLiteral(" / ")).toStdString() + "; ";
    return clashes;
}

// Walks the Tab chain from the first focused widget; every enabled control that takes focus by
// Tab must come round before the chain returns to its start.
std::string UnreachableByTab(QDialog* dialog) {
    QWidget* start = dialog->focusWidget();
    if (!start) return "nothing has the focus";
    QSet<QWidget*> reached;
    QWidget* at = start;
    for (int step = 0; step < 200; ++step) {
        reached.insert(at);
        QTest::keyClick(at, Qt::Key_Tab);
        at = dialog->focusWidget();
        if (!at || at == start) break;
    }
    std::string missing;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(dialog) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)) continue;
        if (w->focusProxy() || (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget()))) continue;
        if (!reached.contains(w)) missing += std::string(w->metaObject()->className()) + " ";
    }
    return missing;
}

class DialogFit : public ::testing::TestWithParam<int> {};

TEST_P(DialogFit, EveryDialogFitsAndWorksFromTheKeyboard) {
    const int scale = GetParam();
    const QFont normal = QApplication::font();
    QFont font = normal;
    font.setPointSizeF(normal.pointSizeF() * scale);
    QApplication::setFont(font);
    const char* shots = std::getenv("RUX_SCREENSHOT_DIR");
    if (const char* theme = std::getenv("RUX_SCREENSHOT_THEME"); shots && theme) {
        const int number = std::atoi(theme);
        ApplyThemeLook(*qApp, number, CThemeTable::PaneTheme(number));
    }
    for (const auto& [name, make] : Dialogs()) {
        CFitBench bench;
        std::unique_ptr<QDialog> dialog = make(bench);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get())) << name;
        EXPECT_GE(dialog->width(), dialog->minimumSizeHint().width()) << name;
        EXPECT_GE(dialog->height(), dialog->minimumSizeHint().height()) << name;
        EXPECT_EQ(test::LayoutProblems(dialog.get()), "") << name << " at " << scale * 100 << " %";
        EXPECT_EQ(MnemonicClashes(dialog.get()), "") << name;
        if (shots) {
            const QString file = QDir(QString::fromLocal8Bit(shots))
                                     .filePath(QStringLiteral("%1%2.png")
                                                   .arg(QString::fromLatin1(name))
                                                   .arg(scale == 1 ? QString() : QStringLiteral("_200")));
            EXPECT_TRUE(dialog->grab().save(file)) << file.toStdString();
        }
        EXPECT_EQ(UnreachableByTab(dialog.get()), "") << name;
    }
    QApplication::setFont(normal);
}

INSTANTIATE_TEST_SUITE_P(Scales, DialogFit, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "At" + std::to_string(info.param * 100);
                         });

} // namespace
} // namespace rux
