#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/node_properties_form.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/editor_services.h"
#include "editor/section_commands.h"
#include "editor/task_list.h"
#include "support/edit_harness.h"
#include "support/fake_target.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace rux {
namespace {

using test::ProgramBytes;
using test::RunScript;
using Lines = std::vector<std::string>;

class CScriptedFbEditor final : public CFunctionBlockEditor {
public:
    bool confirm = true;
    std::string text;
    int capability = 0, maxIn = 0, maxOut = 0;
    bool Edit(std::string& header, int cap, int in, int out) override {
        capability = cap;
        maxIn = in;
        maxOut = out;
        if (confirm)
            header = text;
        return confirm;
    }
};

TEST(SectionCommands, FoldingChangesRowsAndMarksModified) {
    auto run = RunScript(ProgramBytes({"a", "{S", "b", "@FBD:D", "}", "c"}), {});
    CEditSession& s = run.script->Session();
    CRUXDocument& doc = run.script->Document();
    const CObArrayEx& items = doc.Items();

    s.SetCaret({1, 0});
    EXPECT_FALSE(ToggleFold(s)) << "F8 on a text line";
    EXPECT_FALSE(doc.IsModified());

    s.SetCaret({1, 3});
    EXPECT_TRUE(ToggleFold(s));
    EXPECT_FALSE(static_cast<const CDiag*>(items.GetAt(3))->IsOpen());
    EXPECT_EQ(s.Layout().TopOf(4), s.Layout().TopOf(3) + 16) << "a closed preview is one row";
    EXPECT_TRUE(doc.IsModified());

    s.SetCaret({1, 1});
    EXPECT_TRUE(ToggleFold(s));
    EXPECT_EQ(s.Layout().TopOf(5), s.Layout().TopOf(1) + 16) << "folded members take no rows";
    EXPECT_TRUE(run.Saved().find("Name=S\r\nState=close") != std::string::npos);
}

TEST(SectionCommands, MinimizeAllThenExpandAllRestoresTheRows) {
    auto run = RunScript(ProgramBytes({"P", "a", "{S", "b", "@FBD:D", "}", "{-T", "c", "}", "z"}), {});
    CEditSession& s = run.script->Session();
    ExpandAll(s);
    const std::vector<int> tops = test::RowTops(s.Layout());
    s.SetCaret({2, 7});
    s.Metrics().SetScroll(0, 64);
    MinimizeAll(s);
    EXPECT_EQ(s.Caret(), (CTextPos{2, 7})) << "the caret keeps its place";
    EXPECT_EQ(s.Metrics().ScrollY(), 0) << "minimize all shows the top";
    s.Metrics().SetScroll(0, 64);
    EXPECT_EQ(s.Layout().TopOf(9), 96 + 16 * 3);
    ExpandAll(s);
    EXPECT_EQ(test::RowTops(s.Layout()), tops);
    EXPECT_EQ(s.Metrics().ScrollY(), 0) << "expand all shows the top";
    run.script->Document().SetModified(false);
    ExpandAll(s);
    EXPECT_TRUE(run.script->Document().IsModified()) << "even when every fold already stood open";
}

TEST(SectionCommands, InsertingSectionsFindsTemplatesAndNeverNests) {
    test::CTempDir product;
    product.Write("default.tpl", "; default body\r\n");
    product.Write("notes.tpl", "first note\r\n\r\n");
    auto names = [](const test::CScriptRun& run) { return run.Lines(); };

    auto run = RunScript(ProgramBytes({"a", "{Initial", "x", "}"}), {"caret 1 1"});
    InsertSection(run.script->Session(), "Notes", product.Path());
    EXPECT_EQ(names(run), (Lines{"", "Notes", "first note", "", "Notes", "", "", "a", "Initial", "x", "Initial"}))
        << "on a header the section goes above it; notes.tpl found for Notes";
    EXPECT_EQ(run.script->Session().Caret(), (CTextPos{1, 7}));

    run = RunScript(ProgramBytes({"{Initial", "x", "}"}), {"caret 1 1"});
    InsertSection(run.script->Session(), "Background", product.Path());
    EXPECT_EQ(names(run), (Lines{"Initial", "x", "Initial", "", "Background", "; default body", "Background", "", ""}))
        << "inside a section the new one goes below it; default.tpl stands in";
    const CObArrayEx& items = run.script->Document().Items();
    EXPECT_EQ(items.GetAt(5)->GetSection(), items.GetAt(4));
    EXPECT_EQ(items.GetAt(3)->GetSection(), nullptr);

    test::CTempDir empty;
    run = RunScript(ProgramBytes({"a"}), {"caret 0 1"});
    InsertSection(run.script->Session(), "Clock", empty.Path());
    EXPECT_EQ(names(run), (Lines{"", "Clock", "Clock", "", "", "a"})) << "no templates: an empty body";

    // One undo takes the whole section back out.
    const std::string before = RunScript(ProgramBytes({"a", "{Initial", "x", "}"}), {}).Saved();
    run = RunScript(ProgramBytes({"a", "{Initial", "x", "}"}), {"caret 2 1"});
    InsertSection(run.script->Session(), "Event", product.Path());
    run.script->Session().Undo();
    EXPECT_EQ(run.Saved(), before);
}

TEST(SectionCommands, UserFunctionBlocks) {
    test::CTempDir product;
    product.Write("udfb.tpl", "FBbody\r\n");
    product.Write("drvdef.hdw", "[KESTREL]\r\nMaxParamIn=12\r\nMaxParamOut = 3\r\n");
    test::CFakeTarget target;
    CScriptedFbEditor editor;
    editor.text = "Out = _Limit(In, Max)";

    auto run = RunScript(ProgramBytes({"P", "{Initial", "x", "}", "{Clock", "y", "}"}), {"caret 4 1"});
    ASSERT_TRUE(InsertUserFunctionBlock(run.script->Session(), editor, target, product.Path()));
    EXPECT_EQ(editor.maxIn, 12);
    EXPECT_EQ(editor.maxOut, 3);
    EXPECT_EQ(editor.capability, 1) << "the type cannot be asked: 1";
    EXPECT_EQ(run.Lines(), (Lines{"", "Initial", "x", "Initial", "", "Out = _Limit(In, Max)", "FBbody",
                                  "Out = _Limit(In, Max)", "", "", "Clock", "y", "Clock"}));
    const auto* header = static_cast<const CSectionHeader*>(run.script->Document().Items().GetAt(5));
    EXPECT_TRUE(header->IsFunctionBlock());
    EXPECT_EQ(header->GetShortName(), "_Limit");

    // On the header at item 1 the caret stays: the block goes in front of that header, after item 0.
    run = RunScript(ProgramBytes({"a", "{Initial", "x", "}"}), {"caret 1 1"});
    ASSERT_TRUE(InsertUserFunctionBlock(run.script->Session(), editor, target, product.Path()));
    EXPECT_EQ(run.Lines(), (Lines{"a", "", "Out = _Limit(In, Max)", "FBbody", "Out = _Limit(In, Max)", "", "",
                                  "Initial", "x", "Initial"}));

    target.extendedMemory["KESTREL"] = true;
    editor.confirm = false;
    run = RunScript(ProgramBytes({"P", "a"}), {"caret 1 1"});
    EXPECT_FALSE(InsertUserFunctionBlock(run.script->Session(), editor, target, product.Path()));
    EXPECT_EQ(editor.capability, 5) << "extended memory sets bit 2";
    EXPECT_EQ(run.Lines().size(), 2u);
    EXPECT_FALSE(run.script->Document().IsModified());

    const CFbLimits none = FunctionBlockLimits(product.Path(), "HOBBY");
    EXPECT_EQ(none.maxParamIn, 256);
    EXPECT_EQ(none.maxParamOut, 256);
}

TEST(SectionCommands, DiagramsGoIntoSectionsWithNewTitles) {
    auto run = RunScript(ProgramBytes({"a", "{-S", "@FBD:Diagram 1", "@FBD:diagram 3", "x", "}"}), {"caret 1 1"});
    CEditSession& s = run.script->Session();
    const CDiag* diagram = InsertDiagram(s, kDiagramQld);
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->GetTitle(), "Diagram 2");
    EXPECT_EQ(diagram->GetKind(), kDiagramQld);
    const CObArrayEx& items = run.script->Document().Items();
    EXPECT_EQ(items.GetAt(2), diagram) << "first row of the section the caret's header opens";
    EXPECT_EQ(items.GetAt(3)->GetType(), kItemLine);
    EXPECT_EQ(diagram->GetSection(), items.GetAt(1));
    EXPECT_TRUE(static_cast<const CSectionHeader*>(items.GetAt(1))->IsExpanded()) << "the folded section opens";
    EXPECT_EQ(run.script->Document().NewDiagramTitle(), "Diagram 4");

    s.SetCaret({1, 0});
    EXPECT_EQ(InsertDiagram(s, kDiagramFbd), nullptr) << "outside sections there is no diagram";
    s.Undo();
    EXPECT_EQ(items.GetSize(), 6);
}

TEST(SectionCommands, TaskListFromTheDriveTable) {
    test::CTempDir product;
    product.Write("DRIVE.TSK", "[DEFAULT]\r\nName1=Initial\r\nName2=Background\r\n[VQ5A]\r\nName1=Clock\r\n"
                               "Name2= Event \r\nName3=\r\nName4=Pos0\r\n[EMPTY]\r\nName2=Late\r\n");
    struct {
        const char* drive;
        Lines names;
    } cases[] = {
        {"VQ5A", {"Clock", "Event"}}, // stops at the first empty key
        {"vq5a", {"Clock", "Event"}}, // sections compare without case
        {"EMPTY", {"Initial", "Background"}},
        {"", {"Initial", "Background"}},
        {"UNKNOWN", {"Initial", "Background"}},
    };
    for (const auto& c : cases) {
        CTaskListModel model(product.Path(), c.drive);
        EXPECT_EQ(model.Names(), c.names) << c.drive;
        EXPECT_EQ(model.Text(), c.names.front()) << c.drive;
    }
    CTaskListModel model(product.Path(), "VQ5A");
    model.Choose(1);
    EXPECT_EQ(model.Accept(), "Event");
    model.SetText("");
    EXPECT_EQ(model.Accept(), "") << "an empty name counts as cancelled";
    test::CTempDir none;
    EXPECT_TRUE(CTaskListModel(none.Path(), "VQ5A").Names().empty());
}

TEST(SectionCommands, FunctionBlockCalls) {
    struct {
        CFbCallSpec block;
        std::string outputPart;
        std::string text;
    } cases[] = {
        {{"Ramp", {"Out"}, {"In", "Rate"}, false, 0}, "", "Out = Ramp(In, Rate)"},
        {{"Split", {"A", "B"}, {"X"}, false, 0}, "", "A, B = Split(X)"},
        {{"Tick", {}, {}, false, 0}, "", "Tick()"},
        {{"Sum", {"S"}, {}, true, 3}, "", "S = Sum(<I1, I2, I3)"},
        {{"Avg", {"S"}, {"N"}, true, 2}, "", "S = Avg(N, <I1, I2)"},
        {{"Ramp", {"Out"}, {"In"}, false, 0}, "speed%", "speed% = Ramp(In)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FunctionBlockCallText(c.block, c.outputPart), c.text) << c.text;

    const CFbCallSpec ramp{"Ramp", {"Out"}, {"In"}, false, 0};
    auto run = RunScript(ProgramBytes({"{S", "  speed% = ; set", "}"}), {"caret 1 12"});
    InsertFunctionBlockCall(run.script->Session(), ramp);
    EXPECT_EQ(run.Lines(), (Lines{"S", "speed% = Ramp(In)", "; set", "S"}));
    EXPECT_EQ(run.script->Document().Items().GetAt(1)->GetSection(), run.script->Document().Items().GetAt(0));
    run.script->Session().Undo();
    EXPECT_EQ(run.Lines(), (Lines{"S", "  speed% = ; set", "S"}));

    run = RunScript(ProgramBytes({"x = 1"}), {"caret 0 3"});
    InsertFunctionBlockCall(run.script->Session(), ramp);
    EXPECT_EQ(run.Lines(), (Lines{"Out = Ramp(In)", "x = 1"})) << "text without '=' is left alone";
}

// Answers every question from its fields; `meanwhile` runs while a question is open, as the rest
// of the application may while a dialog runs.
class CFakeServices final : public CEditorServices {
public:
    std::string answer;
    bool confirm = true;
    std::function<void()> meanwhile;
    std::vector<std::string> calls;
    std::optional<std::string> AskFunctionBlockHeader(const std::string& text) override {
        calls.push_back("fb:" + text);
        return Answer();
    }
    std::optional<std::string> AskTaskHeader(const std::string& text, const std::string& drive) override {
        calls.push_back("task:" + text + "@" + drive);
        return Answer();
    }
    bool AskNodeProperties(CNodePropertiesForm& form) override {
        calls.push_back("properties:" + form.GetText(CNodePropertiesForm::kAuthor));
        const std::optional<std::string> author = Answer();
        return author && form.SetText(CNodePropertiesForm::kAuthor, *author);
    }
    void OpenDiagramEditor(const CDiag&) override { calls.push_back("diagram"); }

private:
    std::optional<std::string> Answer() {
        if (meanwhile)
            meanwhile();
        return confirm ? std::optional<std::string>(answer) : std::nullopt;
    }
};

// What a double click does depends on where it lands; what an answer does is the table below's.
TEST(SectionCommands, HeaderDoubleClick) {
    const std::string program = ProgramBytes({"P", "{Clock", "x", "}", "{Out = F(In)", "y", "}"});
    CFakeServices services;
    services.confirm = false;
    auto run = RunScript(program, {});
    CEditSession& s = run.script->Session();
    // Left of margin + 5 + line height folds.
    EXPECT_EQ(s.DoubleClickItem(1, 40, services), 1);
    EXPECT_FALSE(static_cast<const CSectionHeader*>(run.script->Document().Items().GetAt(1))->IsExpanded());
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(s.DoubleClickItem(1, 40, services), 1);
    // Elsewhere a task asks the task dialog with the drive, a function block its header dialog.
    EXPECT_EQ(s.DoubleClickItem(1, 41, services), 0);
    EXPECT_EQ(s.DoubleClickItem(4, 200, services), 0);
    EXPECT_EQ(services.calls, (Lines{"task:Clock@VQ5A", "fb:Out = F(In)"}));

    auto readOnly = RunScript(program, {}, {}, true);
    services.confirm = true;
    EXPECT_EQ(readOnly.script->Session().DoubleClickItem(1, 200, services), 0);
    EXPECT_EQ(services.calls.size(), 2u) << "refused before any dialog while read-only";
    EXPECT_EQ(readOnly.script->Session().DoubleClickItem(1, 30, services), 1) << "folding still works";
}

// The dialogs answer first; the answer is applied as one edit, a cancelled or empty one changes
// nothing and leaves Redo, and an item that went away while its dialog was open takes no answer.
TEST(SectionCommands, DoubleClickDialogsApplyTheirAnswerAsOneEdit) {
    const std::string program = ProgramBytes({"P", "{Clock", "x", "}", "{Out = F(In)", "y", "}"});
    test::CFakeTarget target;
    struct Case {
        const char* name;
        int row;
        bool confirm;
        std::string answer;
        bool removeSectionMeanwhile;
        Lines lines;        // the rows afterwards; empty: as before
        std::string author; // the header's author afterwards; empty: as before
    } cases[] = {
        {"task renamed", 1, true, " Event1 ", false, {"", "Event1", "x", "Event1", "Out = F(In)", "y", "Out = F(In)"}, ""},
        {"task cancelled", 1, false, "Event1", false, {}, ""},
        {"task answer trims to the old name", 1, true, "  Clock ", false, {}, ""},
        {"block renamed", 4, true, "A = F(In)", false, {"", "Clock", "x", "Clock", "A = F(In)", "y", "A = F(In)"}, ""},
        {"section deleted while asking", 1, true, "Event1", true, {"", "Out = F(In)", "y", "Out = F(In)"}, ""},
        {"properties accepted", 0, true, "Ann", false, {}, "Ann"},
        {"properties cancelled", 0, false, "Ann", false, {}, ""},
    };
    for (const auto& c : cases) {
        // Redo holds the typed "z" taken back.
        auto run = RunScript(program, {"caret 2 1", "type z", "cmd undo"});
        CRUXDocument& doc = run.script->Document();
        CDocumentServices services = doc.Services();
        services.target = &target;
        doc.SetServices(services);
        CEditSession& s = run.script->Session();
        CFakeServices fake;
        fake.confirm = c.confirm;
        fake.answer = c.answer;
        if (c.removeSectionMeanwhile)
            fake.meanwhile = [&] { doc.RemoveItems(1, 3); };
        const std::string before = run.Saved();
        const Lines lines = run.Lines();
        const std::string author = c.author.empty() ? doc.GetHeader()->Header().Author : c.author;
        const bool changes = (!c.lines.empty() && !c.removeSectionMeanwhile) || !c.author.empty();
        EXPECT_EQ(s.DoubleClickItem(c.row, 200, fake), changes ? 1 : 0) << c.name;
        ASSERT_EQ(fake.calls.size(), 1u) << c.name;
        EXPECT_EQ(doc.GetHeader()->Header().Author, author) << c.name;
        if (!changes) {
            if (c.lines.empty()) {
                EXPECT_EQ(run.Saved(), before) << c.name;
            } else {
                EXPECT_EQ(run.Lines(), c.lines) << c.name;
            }
            EXPECT_TRUE(s.CanRedo()) << c.name << ": nothing changed, so Redo stays";
            continue;
        }
        EXPECT_FALSE(s.CanRedo()) << c.name;
        s.Undo();
        EXPECT_EQ(run.Lines(), lines) << c.name << ": one undo takes the whole answer back";
        EXPECT_EQ(run.Saved(), before) << c.name;
        s.Redo();
        if (!c.lines.empty()) {
            EXPECT_EQ(run.Lines(), c.lines) << c.name << ": and redo applies it again";
        }
        EXPECT_EQ(doc.GetHeader()->Header().Author, author) << c.name;
    }
}

} // namespace
} // namespace rux
