#include "document/diagram_item.h"
#include "document/line_item.h"
#include "document/program_file.h"
#include "document/string_table.h"
#include "editor/edit_script.h"
#include "porting/payload_prefix_link.h"
#include "porting/porting_issues.h"
#include "porting/porting_scan.h"
#include "porting/porting_test_support.h"
#include "porting/porting_view.h"
#include "support/edit_harness.h"
#include "support/fake_diagram_window.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace rux {
namespace {

using test::CRecordedSink;
using test::CTempDir;
using Lines = std::vector<std::string>;

// A program opened as the editor opens it, with its view's session and a scan of it.
struct CFixture {
    CTempDir dir;
    CEditScript script;
    CPortingIssueList list;
    CRecordedSink sink;
    Lines questions;
    bool answer = true;
    std::unique_ptr<CSessionPortingView> view;

    explicit CFixture(const Lines& rows, bool readOnly = false,
                      const char* catalogue = test::kSmallBitternCatalogue,
                      EPortingCatalogue which = EPortingCatalogue::Bittern) {
        dir.Write(CatalogueFileName(which), catalogue);
        const std::string path = dir.Write("p.rux", test::ProgramFileBytes(rows));
        EXPECT_TRUE(script.Open(path, {}, readOnly, {}));
        view = std::make_unique<CSessionPortingView>(script.Session(), [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
        Rescan(which);
    }
    void Rescan(EPortingCatalogue which = EPortingCatalogue::Bittern) {
        EXPECT_TRUE(list.Scan(&script.Document().Program(), which, dir.Path(), sink));
    }
    std::string Text(int line) { return script.Document().Items().GetAt(line)->GetText(); }
    std::string Bytes() { return test::SavedBytes(script.Document()); }
    CPortingIssue& Sorted(int i) { return *list.InPositionOrder().at(static_cast<size_t>(i)); }
};

// Every issue of a parameter still points at its "#" after each fix.
void ExpectAllAtTheirHash(CFixture& f, const char* when) {
    for (int i = 0; i < f.list.GetSize(); ++i) {
        CPortingIssue& issue = f.list.GetAt(i);
        if (std::string(issue.KindName()) != "parameter") continue;
        EXPECT_TRUE(issue.IsAt(f.Text(issue.GetLine())))
            << when << ": issue " << i << " at " << issue.GetColumn();
    }
}

TEST(PortingFix, PrefixMovesTheIssuesOfTheLine) {
    CFixture f({"{Background", "a = #5.07 + #2.04 * #5.07 ; #5.07", "}"});
    const std::string original = f.Bytes();
    ASSERT_EQ(f.list.GetSize(), 3);
    struct CStep {
        int issue; // in position order
        const char* text;
        int columns[3];
    } const steps[] = {
        {0, "a = B2#5.07 + #2.04 * #5.07 ; #5.07", {7, 15, 23}},
        {2, "a = B2#5.07 + #2.04 * B2#5.07 ; #5.07", {7, 15, 25}},
        {1, "a = B2#5.07 + B2#2.04 * B2#5.07 ; #5.07", {7, 17, 27}},
        {0, "a = #5.07 + B2#2.04 * B2#5.07 ; #5.07", {5, 15, 25}},
    };
    for (const auto& step : steps) {
        CPortingIssue& issue = f.Sorted(step.issue);
        EXPECT_TRUE(issue.ApplyFix(f.view.get(), false)) << step.text;
        EXPECT_EQ(f.Text(2), step.text);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(f.Sorted(i).GetColumn(), step.columns[i]) << step.text << " issue " << i;
        ExpectAllAtTheirHash(f, step.text);
    }
    EXPECT_EQ(f.Sorted(0).StoredState(), 0);
    EXPECT_EQ(f.Sorted(1).StoredState(), 1);
    EXPECT_EQ(f.Sorted(1).StatusText(), "Has been converted using B2 prefix");
    EXPECT_EQ(f.Sorted(1).ShownIcon(), kPortIconConverted);
    EXPECT_TRUE(f.questions.empty());
    // Each fix was one edit; undoing them all gives the file back byte for byte.
    for (int i = 0; i < 4; ++i)
        f.script.Session().Undo();
    EXPECT_EQ(f.Bytes(), original);
}

TEST(PortingFix, QuestionsAndRefusals) {
    struct CCase {
        const char* name;
        const char* line;
        int issue; // in position order
        bool answer;
        bool readOnly;
        const char* edit; // replaces the line before the fix, when set
        bool result;
        const char* after;
        const char* question;
    } const cases[] = {
        {"asks before adding", "x = #5.07", 0, true, false, nullptr, true, "x = B2#5.07",
         "The parameter #05.07 - Motor rated current can be converted to behave as a Bittern 2 parameter "
         "using the "
         "\"B2\" prefix.\n\nWould you like to add this prefix now?"},
        {"No keeps the line", "x = #5.07", 0, false, false, nullptr, true, "x = #5.07", "*"},
        {"asks before removing", "x = b2#5.07", 0, true, false, nullptr, true, "x = #5.07",
         "The parameter #05.07 - Motor rated current has been converted to behave as a Bittern 2 parameter "
         "using the "
         "\"B2\" prefix.\n\nWould you like to remove this prefix now?"},
        {"integer form", "x = #int5.07", 0, true, false, nullptr, true, "x = B2#int5.07", "*"},
        {"line changed since the scan", "x = #5.07", 0, true, false, "x = #5.08", false, "x = #5.08",
         nullptr},
        {"reference moved", "x = #5.07", 0, true, false, "xx = #5.07", false, "xx = #5.07", nullptr},
        {"prefix gone", "x = B2#5.07", 0, true, false, "x = XY#5.07", false, "x = XY#5.07", nullptr},
        {"cannot convert: nothing to do", "x = #3.02", 0, true, false, nullptr, true, "x = #3.02", nullptr},
        {"read-only program", "x = #5.07", 0, true, true, nullptr, false, "x = #5.07", "*"},
    };
    for (const auto& c : cases) {
        CFixture f({"{Background", c.line, "}"}, c.readOnly);
        f.answer = c.answer;
        if (c.edit) f.script.Document().SetItemText(2, c.edit);
        EXPECT_EQ(f.Sorted(c.issue).ApplyFix(f.view.get(), true), c.result) << c.name;
        EXPECT_EQ(f.Text(2), c.after) << c.name;
        if (!c.question)
            EXPECT_TRUE(f.questions.empty()) << c.name;
        else if (std::string(c.question) != "*")
            EXPECT_EQ(f.questions, Lines{c.question}) << c.name;
        else
            EXPECT_EQ(f.questions.size(), 1u) << c.name;
    }
    // Without a view nothing is done, and the Albatross parameters have no fix.
    CFixture f({"{Background", "x = #5.07", "}"});
    EXPECT_TRUE(f.Sorted(0).ApplyFix(nullptr, false));
    EXPECT_EQ(f.Text(2), "x = #5.07");
    CFixture q({"{Background", "x = #3.14", "}"}, false, test::kSmallAlbatrossCatalogue,
               EPortingCatalogue::AlbatrossQ);
    ASSERT_EQ(q.list.GetSize(), 1);
    EXPECT_FALSE(q.Sorted(0).ApplyFix(q.view.get(), false));
    EXPECT_EQ(q.Text(2), "x = #3.14");
}

TEST(PortingFix, DiagramElements) {
    test::CScanned scan({"{Background", "@F:D:@VAR:1,P=(2,3) X=#5.07,\r\n@VAR:2,P=(2,4) X=#5.07,\r\n", "}"});
    CPortingIssueList& list = scan.list;
    ASSERT_EQ(list.GetSize(), 2);
    auto* diagram = static_cast<CDiag*>(scan.program.Items().MutableAt(2));
    struct CNoEdits final : CPortingView {
        void SelectRange(int, int, int, int) override {}
        bool ReplaceSelection(const std::string&) override { return false; }
        bool AskYesNo(const std::string&) override { return true; }
    } view;
    CPortingIssue& first = *list.InPositionOrder()[0];
    CPortingIssue& second = *list.InPositionOrder()[1];
    // No window bound: the element cannot be reached.
    EXPECT_FALSE(first.ApplyFix(&view, false));
    test::CFakeDiagramWindow window;
    diagram->SetEditor(&window);
    window.selected = "#5.08";
    EXPECT_FALSE(first.ApplyFix(&view, false));
    window.selected = "#5.07";
    const int secondColumn = second.GetColumn();
    EXPECT_TRUE(first.ApplyFix(&view, true));
    EXPECT_EQ(window.selected, "B2#5.07");
    EXPECT_EQ(first.StoredState(), 1);
    EXPECT_EQ(second.GetColumn(), secondColumn + 2);
    EXPECT_TRUE(first.ApplyFix(&view, false));
    EXPECT_EQ(window.selected, "#5.07");
    EXPECT_EQ(first.StoredState(), 0);
    EXPECT_EQ(second.GetColumn(), secondColumn);
    window.selected = "#INT5.07";
    EXPECT_TRUE(second.ApplyFix(&view, false));
    EXPECT_EQ(window.selected, "B2#INT5.07");
    diagram->SetEditor(nullptr);
}

// Without a diagram window the command line edits the payload itself, as undoable edits.
TEST(PortingFix, DiagramPayloadWithoutAWindow) {
    CFixture f({"{Background", "@F:D:@VAR:1,P=(2,3) X=#5.07,\r\n@VAR:2,P=(2,4) X=b2#5.07,\r\n",
                "@Q:L:BOF\r\nXIC(*#INT5.07*)\r\nEOF\r\n", "}"});
    const std::string original = f.Bytes();
    ASSERT_EQ(f.list.GetSize(), 3);
    CPayloadPrefixLink link(f.script.Session());
    struct CStep {
        int issue;
        const char* selected;
        const char* fbd;
        const char* qld;
    } const steps[] = {
        {0, "#5.07", "@VAR:1,P=(2,3) X=B2#5.07,\r\n@VAR:2,P=(2,4) X=b2#5.07,\r\n",
         "BOF\r\nXIC(*#INT5.07*)\r\nEOF\r\n"},
        {1, "b2#5.07", "@VAR:1,P=(2,3) X=B2#5.07,\r\n@VAR:2,P=(2,4) X=#5.07,\r\n",
         "BOF\r\nXIC(*#INT5.07*)\r\nEOF\r\n"},
        {2, "#INT5.07", "@VAR:1,P=(2,3) X=B2#5.07,\r\n@VAR:2,P=(2,4) X=#5.07,\r\n",
         "BOF\r\nXIC(*B2#INT5.07*)\r\nEOF\r\n"},
    };
    for (const auto& step : steps) {
        CPortingIssue& issue = f.Sorted(step.issue);
        ASSERT_TRUE(link.SelectAt(issue)) << step.selected;
        EXPECT_EQ(link.GetSelectedElementText(), step.selected);
        EXPECT_TRUE(issue.ApplyFix(f.view.get(), false)) << step.selected;
        link.Release();
        EXPECT_EQ(f.Text(2), step.fbd);
        EXPECT_EQ(f.Text(3), step.qld);
    }
    // The second issue of the FBD still points at its "#" after the first one moved it.
    ASSERT_TRUE(link.SelectAt(f.Sorted(1)));
    EXPECT_EQ(link.GetSelectedElementText(), "#5.07");
    link.Release();
    for (int i = 0; i < 3; ++i)
        f.script.Session().Undo();
    EXPECT_EQ(f.Bytes(), original);

    // A row inserted above moves the bound diagram; deleting it leaves the link with nothing, and
    // the diagram that takes its place (same size, maybe the same memory) is not written.
    f.Rescan();
    ASSERT_TRUE(link.SelectAt(f.Sorted(0)));
    std::vector<std::unique_ptr<CItem>> above;
    above.push_back(std::make_unique<CLine>("moved"));
    f.script.Document().InsertItems(1, std::move(above));
    EXPECT_EQ(link.GetSelectedElementText(), "#5.07") << "found again one row down";
    f.script.Document().RemoveItems(3, 1);
    std::vector<std::unique_ptr<CItem>> replacement;
    replacement.push_back(std::make_unique<CDiag>());
    replacement.back()->SetText("@VAR:1,P=(2,3) X=#5.07,\r\n");
    f.script.Document().InsertItems(3, std::move(replacement));
    EXPECT_EQ(link.GetSelectedElementText(), "");
    EXPECT_FALSE(link.AddPrefix("B2"));
    EXPECT_EQ(f.Text(3), "@VAR:1,P=(2,3) X=#5.07,\r\n");
    link.Release();
}

TEST(PortingFix, IgnoreMarksTheLine) {
    struct CCase {
        const char* name;
        const char* line;
        bool answer;
        CPortingIssueList::EIgnore result;
        const char* after;
        int questions;
        const char* message;
    } const cases[] = {
        {"one issue", "x = #5.07", true, CPortingIssueList::EIgnore::Done, "x = #5.07\t// {PTOOL:Ignore}", 0,
         nullptr},
        {"line with a comment", "x = #5.07 // ramp", true, CPortingIssueList::EIgnore::Done,
         "x = #5.07 // ramp {PTOOL:Ignore}", 0, nullptr},
        {"three issues: asked once", "x = #5.07 + #2.04 + #3.02", true, CPortingIssueList::EIgnore::Done,
         "x = #5.07 + #2.04 + #3.02\t// {PTOOL:Ignore}", 1, nullptr},
        {"three issues: No", "x = #5.07 + #2.04 + #3.02", false, CPortingIssueList::EIgnore::Declined,
         "x = #5.07 + #2.04 + #3.02", 1, nullptr},
    };
    for (const auto& c : cases) {
        CFixture f({"{Background", c.line, "}"});
        f.answer = c.answer;
        const std::string original = f.Bytes();
        EXPECT_EQ(f.list.Ignore(f.Sorted(0), *f.view, f.sink), c.result) << c.name;
        EXPECT_EQ(f.Text(2), c.after) << c.name;
        EXPECT_EQ(static_cast<int>(f.questions.size()), c.questions) << c.name;
        if (c.questions) {
            EXPECT_EQ(f.questions[0],
                      "Ignoring this issue will ignore all 3 issues on line 2. Do you wish to proceed?");
        }
        EXPECT_TRUE(f.sink.shown.empty()) << c.name;
        const int expectedState = c.result == CPortingIssueList::EIgnore::Done ? 2 : 0;
        for (int i = 0; i < f.list.GetSize(); ++i)
            EXPECT_EQ(f.list.GetAt(i).GetState(), expectedState) << c.name;
        if (expectedState == 2) {
            EXPECT_EQ(f.Sorted(0).StatusText(), "Has been marked to be ignored.");
            EXPECT_FALSE(CPortingIssueList::CanIgnore(f.Sorted(0)));
            // One edit: undo restores the bytes, and the issues are open again.
            f.script.Session().Undo();
            EXPECT_EQ(f.Bytes(), original) << c.name;
            EXPECT_EQ(f.Sorted(0).GetState(), 0) << c.name;
        }
    }
    // A line marked since the scan, a task in a section header, a parameter in a diagram.
    CFixture marked({"{Background", "x = #5.07", "}"});
    marked.script.Document().SetItemText(2, "x = #5.07 {PTOOL:Ignore}");
    EXPECT_EQ(marked.list.Ignore(marked.Sorted(0), *marked.view, marked.sink),
              CPortingIssueList::EIgnore::AlreadyIgnored);
    ASSERT_EQ(marked.sink.shown.size(), 1u);
    EXPECT_EQ(marked.sink.shown[0].second, "This line has already been marked so that it is ignored.");
    CFixture task({"{Clock", "}"});
    ASSERT_EQ(task.list.GetSize(), 1);
    EXPECT_EQ(task.list.Ignore(task.Sorted(0), *task.view, task.sink),
              CPortingIssueList::EIgnore::NotAllowed);
    CFixture header({"{Background #5.07", "}"});
    // The footer repeats the header's text, so the reference is found twice.
    ASSERT_EQ(header.list.GetSize(), 2);
    EXPECT_EQ(header.list.Ignore(header.Sorted(0), *header.view, header.sink),
              CPortingIssueList::EIgnore::NotALine);
    ASSERT_EQ(header.sink.shown.size(), 1u);
    EXPECT_EQ(header.sink.shown[0].second, "Issue is not on a line of RUX code.");
}

TEST(PortingFix, FixAllChoosesIcons) {
    struct CCase {
        const char* name;
        const char* line;
        bool add;
        bool chooseCalled;
        bool icon2, icon3, ok;
        const char* after;
        CPortingIssueList::EFixAll result;
    } const cases[] = {
        {"only icon 3: no choice", "x = #5.07 + #5.07", true, false, true, true, true,
         "x = B2#5.07 + B2#5.07", CPortingIssueList::EFixAll::Done},
        {"both: all", "x = #5.07 + #2.04 + #3.02", true, true, true, true, true,
         "x = B2#5.07 + B2#2.04 + #3.02", CPortingIssueList::EFixAll::Done},
        {"both: no warnings", "x = #5.07 + #2.04", true, true, false, true, true, "x = B2#5.07 + #2.04",
         CPortingIssueList::EFixAll::Done},
        {"both: warnings", "x = #5.07 + #2.04", true, true, true, false, true, "x = #5.07 + B2#2.04",
         CPortingIssueList::EFixAll::Done},
        {"both: cancel", "x = #5.07 + #2.04", true, true, true, true, false, "x = #5.07 + #2.04",
         CPortingIssueList::EFixAll::Cancelled},
        {"remove", "x = B2#5.07 + #5.07 + b2#2.04", false, true, true, true, true,
         "x = #5.07 + #5.07 + #2.04", CPortingIssueList::EFixAll::Done},
    };
    for (const auto& c : cases) {
        CFixture f({"{Background", c.line, "}"});
        bool called = false;
        CPortingIssueList::CFixAllHooks hooks;
        hooks.choose = [&](bool& icon2, bool& icon3) {
            called = true;
            icon2 = c.icon2;
            icon3 = c.icon3;
            return c.ok;
        };
        EXPECT_EQ(f.list.FixAll(c.add, *f.view, hooks), c.result) << c.name;
        EXPECT_EQ(called, c.chooseCalled) << c.name;
        EXPECT_EQ(f.Text(2), c.after) << c.name;
        ExpectAllAtTheirHash(f, c.name);
        EXPECT_TRUE(f.questions.empty()) << c.name;
    }
    CFixture changed({"{Background", "x = #5.07", "y = #5.07", "}"});
    changed.script.Document().SetItemText(2, "x = 1");
    EXPECT_EQ(changed.list.FixAll(true, *changed.view, {}), CPortingIssueList::EFixAll::NotAllFound);
    EXPECT_EQ(changed.Text(3), "y = B2#5.07");
}

// Random programs: adding the prefix everywhere and removing it again gives the bytes back, the
// columns follow every fix, and the scan's index finds what one pass per entry finds.
TEST(PortingFix, AddAllThenRemoveAllRestoresTheProgram) {
    std::mt19937 random(1234);
    const char* const pieces[] = {"#5.07", "#2.04", "#3.02",      "#INT5.07", " + ", "x",    " ",
                                  "; ",    "// ",   "_SlotRead(", ")",        "#P%", "#5.7", "{PTOOL:Ignore}",
                                  "#",     "B"};
    for (int round = 0; round < 60; ++round) {
        Lines rows;
        const int sections = 1 + static_cast<int>(random() % 3);
        for (int s = 0; s < sections; ++s) {
            rows.push_back(random() % 4 == 0 ? "{Notes" : "{Task" + std::to_string(s));
            const int lines = 1 + static_cast<int>(random() % 6);
            for (int l = 0; l < lines; ++l) {
                std::string text;
                const int n = static_cast<int>(random() % 9);
                for (int p = 0; p < n; ++p)
                    text += pieces[random() % std::size(pieces)];
                // A row that starts with a brace would open a section.
                rows.push_back(text.rfind('{', 0) == 0 ? " " + text : text);
            }
            rows.push_back("}");
        }
        CFixture f(rows);
        // The same issues without the index.
        std::vector<std::string> byPass;
        for (int i = 0; i < f.list.GetSize(); ++i) {
            auto* parameter = dynamic_cast<CPortingParameterIssue*>(&f.list.GetAt(i));
            if (!parameter || (i > 0 && f.list.GetAt(i - 1).GetName() == parameter->GetName())) continue;
            std::unique_ptr<CPortingIssue> copy = parameter->Clone();
            copy->SetPosition(0, 0);
            copy->SetCache(nullptr);
            auto* search = static_cast<CPortingParameterIssue*>(copy.get());
            while (search->FindNextByPass()) {
                byPass.push_back(test::DumpIssue(*search));
                search->SetPosition(search->GetLine(), search->GetColumn());
            }
        }
        std::vector<std::string> indexed;
        for (int i = 0; i < f.list.GetSize(); ++i)
            if (dynamic_cast<CPortingParameterIssue*>(&f.list.GetAt(i)))
                indexed.push_back(test::DumpIssue(f.list.GetAt(i)));
        EXPECT_EQ(indexed, byPass) << "round " << round;

        // Programs written with the prefix already come back without it, so start from none.
        bool prefixed = false;
        for (int i = 0; i < f.list.GetSize(); ++i)
            prefixed |= f.list.GetAt(i).IsConverted();
        if (prefixed) continue;
        const std::string original = f.Bytes();
        EXPECT_NE(f.list.FixAll(true, *f.view, {}), CPortingIssueList::EFixAll::NotAllFound) << original;

        ExpectAllAtTheirHash(f, "after adding");
        EXPECT_NE(f.list.FixAll(false, *f.view, {}), CPortingIssueList::EFixAll::NotAllFound) << original;
        ExpectAllAtTheirHash(f, "after removing");
        EXPECT_EQ(f.Bytes(), original) << "round " << round;
    }
}

} // namespace
} // namespace rux
