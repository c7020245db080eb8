// The Help buttons of the editor's dialogs: shown when the editor opens the dialog, and pressing
// one hands the dialog's help context to the help library, which opens that topic's page.
#include "editor_harness.h"
#include "../dialogs/dialog_test_support.h"

#include "app/help_opener.h"
#include "dialogs/colors_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "dialogs/tab_stops_dialog.h"
#include "shell/command_ids.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CEditorHarness;

struct CHelpBench {
    CHelpBench() {
        const std::string path = h.Root() + "/help.rux";
        CEditorHarness::Write(path, test::DialogProgram({"P", "{Background", "a = 1", "}"}));
        started = h.Start({path});
    }
    // Runs the command; on its dialog, records whether Help is shown and presses it.
    void PressHelp(int command) {
        test::WhenModal([this](QWidget* modal) {
            // The dialog lives only while the command runs: keep what the checks need now.
            dialog = modal;
            isExpected = expected && expected(modal);
            auto* box = modal->findChild<QDialogButtonBox*>();
            QPushButton* help = box ? box->button(QDialogButtonBox::Help) : nullptr;
            helpShown = help && help->isVisible();
            if (help) QTest::mouseClick(help, Qt::LeftButton);
            static_cast<QDialog*>(modal)->reject();
        });
        EXPECT_TRUE(h.Frame().RunCommand(command)) << command;
        CEditorHarness::Settle(20);
    }

    CEditorHarness h;
    bool started = false;
    QWidget* dialog = nullptr;
    std::function<bool(QWidget*)> expected;
    bool isExpected = false;
    bool helpShown = false;
};

struct CFakeOpener {
    CFakeOpener() {
        CHelpOpener::SetOpener([this](int context, QWidget* owner) {
            contexts.push_back(context);
            owners.push_back(owner);
        });
    }
    ~CFakeOpener() { CHelpOpener::SetOpener({}); }
    std::vector<int> contexts;
    std::vector<QWidget*> owners;
};

TEST(HelpTopics, EveryDialogWithATopicShowsHelpAndAsksForItsContext) {
    struct Case {
        const char* name;
        int command;
        std::function<bool(QWidget*)> isDialog;
        int context;
    } cases[] = {
        {"colours", ID_FORMAT_COLORS, [](QWidget* w) { return dynamic_cast<CDlgColors*>(w) != nullptr; },
         0x20000 + 204},
        {"tab stops", ID_FORMAT_TAB_STOPS, [](QWidget* w) { return dynamic_cast<CDlgTabStops*>(w) != nullptr; },
         0x20000 + 106},
        {"indexer function block", ID_IMPORT_UDFB,
         [](QWidget* w) { return dynamic_cast<CDlgIndexerUDFB*>(w) != nullptr; }, 0x28000},
    };
    for (const Case& c : cases) {
        CHelpBench bench;
        ASSERT_TRUE(bench.started) << c.name;
        CFakeOpener opener;
        bench.expected = c.isDialog;
        bench.PressHelp(c.command);
        ASSERT_NE(bench.dialog, nullptr) << c.name;
        EXPECT_TRUE(bench.isExpected) << c.name;
        EXPECT_TRUE(bench.helpShown) << c.name;
        ASSERT_EQ(opener.contexts.size(), 1u) << c.name;
        EXPECT_EQ(opener.contexts[0], c.context) << c.name;
        EXPECT_EQ(opener.owners[0], bench.dialog) << c.name << ": the dialog owns the help window";
    }
}

// Without a fake the help library is loaded: it finds the page of the context and asks the
// desktop to open it.
TEST(HelpTopics, TheHelpLibraryOpensTheTopicsPage) {
    CHelpBench bench;
    ASSERT_TRUE(bench.started);
    QTextBrowser browser;
    QDesktopServices::setUrlHandler("file", &browser, "setSource");
    bench.PressHelp(ID_FORMAT_TAB_STOPS);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(bench.helpShown);
    const QString page = browser.source().toLocalFile();
    EXPECT_TRUE(page.endsWith("/Help/Topics/Defining_Tab_Stops.html")) << page.toStdString();
    EXPECT_TRUE(browser.toPlainText().contains("Keep tabs")) << "the page itself was found";
}

} // namespace
} // namespace rux
