#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/lng_document.h"
#include "document/message_sink.h"
#include "document/node_properties_form.h"
#include "document/program_paths.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/string_table.h"
#include "support/child_process.h"
#include "support/fake_target.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "target/group_mgr.h"
#include "target/suite_notifier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace rux {
namespace {

using test::CRecordingSink;
// Records each message and whether the program file existed when it was sent.
class CRecordingNotifier : public CSuiteNotifier {
public:
    struct CSent {
        std::string tool;
        int message;
        std::string file;
        bool fileExisted;
    };
    std::vector<CSent> sent;
    bool Notify(const std::string& tool, int message, const std::string& fileName) override {
        sent.push_back({tool, message, fileName, std::filesystem::exists(fileName)});
        return true;
    }
};

struct CDocFixture {
    test::CFakeTarget target;
    CRecordingNotifier notifier;
    CRecordingSink messages;
    std::vector<std::string> trace;
    std::vector<std::string> saved;
    test::CTempDir dir;

    CDocumentServices Services(CGroupMgr* groups = nullptr) {
        CDocumentServices s;
        s.target = &target;
        s.notifier = &notifier;
        s.messages = &messages;
        s.groups = groups;
        s.trace = [this](const std::string& line) { trace.push_back(line); };
        s.saved = [this](const std::string& path) { saved.push_back(path); };
        return s;
    }
};

CRuxHeader Header(const char* title, const char* library = "", const char* refLibs = "") {
    CRuxHeader h;
    h.Title = title;
    h.Type = "KESTREL";
    h.Library = library;
    h.RefLibs = refLibs;
    return h;
}

std::unique_ptr<CDiag> Diagram(const char* title, const char* payload = "") {
    auto d = std::make_unique<CDiag>(kDiagramFbd);
    d->SetTitle(title);
    d->SetText(payload);
    return d;
}

// Hands a program of these items to the document in one step, as opening a file does.
template <typename... Items>
void Adopt(CRUXDocument& doc, bool format, Items... items) {
    CProgram program;
    program.SetFormat(format);
    (program.Items().Append(std::move(items)), ...);
    doc.AdoptProgram(std::move(program));
}

// Saves a program built in memory, so that tests can open a real file.
std::string WriteProgramFile(CDocFixture& f, const char* name, CRuxHeader header,
                             std::vector<std::unique_ptr<CItem>> rest) {
    CProgram program;
    program.SetFormat(true);
    program.Items().Append(std::make_unique<CPar>(std::move(header)));
    for (auto& item : rest)
        program.Items().Append(std::move(item));
    CRUXDocument doc;
    doc.AdoptProgram(std::move(program));
    doc.SetPathName(f.dir.File(name));
    doc.SetModified(true);
    EXPECT_TRUE(doc.SaveDocument());
    return doc.GetPathName();
}

TEST(RuxDocument, TitleFromFileTitleLibraryGroupAndModified) {
    CDocFixture f;
    test::CScopedEnv config("XDG_CONFIG_HOME", f.dir.File("config"));
    std::filesystem::create_directories(f.dir.File("config/rux"));
    const std::string inGroup = f.dir.File("line.rux");
    test::WriteFileBytes(f.dir.File("config/rux/groups.txt"),
                         "[Packaging]\n" + f.dir.Path() + "/./line.rux\n[Empty name]\n");
    CGroupMgr groups;
    ASSERT_TRUE(groups.Register(nullptr, "RUX2EDIT")) << "libH2Group.so from the product directory";

    // On the screen the file name stays as the system spells it (UTF-8) and the program's texts
    // come out of their code page; plain ASCII shows as it is.
    struct Case {
        const char* file;
        const char* title;
        const char* library;
        bool modified;
        const char* expected;
        const char* shown = nullptr; // nullptr: the same as `expected`
    } cases[] = {
        {"plain.rux", "", "", false, "plain.rux"},
        {"plain.rux", "Infeed", "", false, "plain.rux (Infeed)"},
        {"plain.rux", "Infeed", "", true, "plain.rux (Infeed) *"},
        {"line.rux", "Infeed", "", false, "line.rux (Infeed) - [Packaging]"},
        {"line.rux", "", "", true, "line.rux - [Packaging] *"},
        {"line.rux", "Infeed", "Conv%", false, "Library Conv% (line.rux)"},
        {"lib.rux", "Infeed", "Conv", true, "Library Conv (lib.rux) *"},
        {"F\xc3\xb6rder.rux", "Caf\xe9", "", true, "F\xc3\xb6rder.rux (Caf\xe9) *",
         "F\xc3\xb6rder.rux (Caf\xc3\xa9) *"},
        {"\xc5\x82.rux", "", "L\xb5", true, "Library L\xb5 (\xc5\x82.rux) *",
         "Library L\xc2\xb5 (\xc5\x82.rux) *"},
        {"plain.rux", "\x80", "", true, "plain.rux (\x80) *", "plain.rux (\xe2\x82\xac) *"},
    };
    for (const auto& c : cases) {
        CRUXDocument doc(f.Services(&groups));
        Adopt(doc, false, std::make_unique<CPar>(Header(c.title, c.library)));
        doc.SetPathName(f.dir.File(c.file));
        doc.SetModified(c.modified);
        EXPECT_EQ(doc.GetTitle(), c.expected);
        EXPECT_EQ(doc.GetDisplayTitle(), c.shown ? c.shown : c.expected);
        doc.SetTitle("anything");
        EXPECT_EQ(doc.GetTitle(), c.expected) << "the title is always composed";
    }
    // Without a header there is nothing but the file name.
    CRUXDocument bare(f.Services(&groups));
    bare.SetPathName(f.dir.File("bare.rux"));
    EXPECT_EQ(bare.GetTitle(), "bare.rux");
}

TEST(RuxDocument, GroupManagerWithoutLibraryOrRegistrationAnswersNothing) {
    CGroupMgr missing(std::make_unique<CServiceLibrary>("NoSuchGroupLibrary"));
    EXPECT_FALSE(missing.Register(nullptr, "RUX2EDIT"));
    EXPECT_FALSE(missing.IsFileInGroup("/x.rux"));
    EXPECT_EQ(missing.GetFileGroup("/x.rux"), "");
    EXPECT_FALSE(missing.FileChanged(nullptr, "/x.rux"));
    CGroupMgr unregistered;
    EXPECT_FALSE(unregistered.IsFileInGroup("/x.rux"));
}

TEST(RuxDocument, NewDiagramTitleTakesTheSmallestFreeNumber) {
    struct Case {
        std::vector<const char*> titles;
        const char* expected;
    } cases[] = {
        {{}, "Diagram 1"},
        {{"diagram 1", "DIAGRAM 3"}, "Diagram 2"},
        {{"Diagram 2", "Diagram 1"}, "Diagram 3"},
        {{"Diagram 01", "Diagram1"}, "Diagram 1"},
    };
    for (const auto& c : cases) {
        CProgram program;
        for (const char* t : c.titles)
            program.Items().Append(Diagram(t));
        CRUXDocument doc;
        doc.AdoptProgram(std::move(program));
        EXPECT_EQ(doc.NewDiagramTitle(), c.expected);
    }
}

TEST(RuxDocument, OpenTitlesDiagramsAndReadsReferencesAndLibrarySupport) {
    CDocFixture f;
    std::vector<std::unique_ptr<CItem>> rest;
    rest.push_back(Diagram(""));
    rest.push_back(Diagram("diagram 2"));
    rest.push_back(Diagram(""));
    rest.push_back(std::make_unique<CLine>("Speed% = Ref%"));
    const std::string path = WriteProgramFile(f, "open.rux", Header("T", "", "A;;B;C;"), std::move(rest));

    f.target.library = 0;
    CRUXDocument doc(f.Services());
    ASSERT_TRUE(doc.OpenDocument(path));
    EXPECT_EQ(static_cast<const CDiag*>(doc.Items().GetAt(1))->GetTitle(), "Diagram 1");
    EXPECT_EQ(static_cast<const CDiag*>(doc.Items().GetAt(3))->GetTitle(), "Diagram 3");
    EXPECT_EQ(doc.ReferencedLibraries(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_FALSE(doc.SupportsLibraries());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "open.rux (T)");
    EXPECT_TRUE(doc.Identifiers().Contains("Speed%"));
    EXPECT_EQ(doc.GetType(), "KESTREL");
    EXPECT_NE(std::find(f.target.calls.begin(), f.target.calls.end(), "read:" + path), f.target.calls.end());

    // A library program references nothing.
    const std::string lib = WriteProgramFile(f, "lib.rux", Header("T", "Lib", "A;B"), {});
    f.target.library = 1;
    CRUXDocument libDoc(f.Services());
    ASSERT_TRUE(libDoc.OpenDocument(lib));
    EXPECT_TRUE(libDoc.ReferencedLibraries().empty());
    EXPECT_TRUE(libDoc.SupportsLibraries());
    EXPECT_EQ(libDoc.GetLibrary(), "Lib");
}

TEST(RuxDocument, LightEditionFileIsRefusedWithItsMessage) {
    CDocFixture f;
    const std::string path = WriteProgramFile(f, "lite.rux", Header("T"), {});
    f.target.lightEdition = 1;
    CRUXDocument doc(f.Services());
    EXPECT_FALSE(doc.OpenDocument(path));
    EXPECT_EQ(f.messages.ids, std::vector<int>{kStrLightEditionFile});
    EXPECT_TRUE(doc.Items().IsEmpty());
}

TEST(RuxDocument, SaveWritesOnlyWhenModifiedAndTellsTheSuiteFirst) {
    CDocFixture f;
    CRUXDocument doc(f.Services());
    Adopt(doc, true, std::make_unique<CPar>(Header("T")));
    doc.SetPathName(f.dir.File("s.rux"));
    EXPECT_TRUE(doc.SaveDocument());
    EXPECT_FALSE(std::filesystem::exists(doc.GetPathName())) << "not modified: nothing written";
    EXPECT_TRUE(f.notifier.sent.empty());
    EXPECT_TRUE(f.saved.empty());

    doc.SetModified(true);
    EXPECT_EQ(doc.GetTitle(), "s.rux (T) *");
    ASSERT_TRUE(doc.SaveDocument());
    EXPECT_TRUE(std::filesystem::exists(doc.GetPathName()));
    ASSERT_EQ(f.notifier.sent.size(), 1u);
    EXPECT_EQ(f.notifier.sent[0].tool, "Z2ADAZ");
    EXPECT_EQ(f.notifier.sent[0].message, 1738);
    EXPECT_EQ(f.notifier.sent[0].file, doc.GetPathName());
    EXPECT_FALSE(f.notifier.sent[0].fileExisted) << "1738 goes out before the file is written";
    EXPECT_EQ(f.saved, std::vector<std::string>{doc.GetPathName()}) << "the host hears of the save";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "s.rux (T)");
}

TEST(RuxDocument, FailedSaveKeepsTheMarkAndTheOldFile) {
    CDocFixture f;
    const std::string path = f.dir.File("p.rux");
    test::WriteFileBytes(path, "old\r\nbytes\r\n");
    CRUXDocument doc(f.Services());
    Adopt(doc, false, std::make_unique<CLine>(std::string(10000, 'n')));
    doc.SetPathName(path);
    doc.SetModified(true);
    // The file-size limit makes the write fail half-way; it is set in a child so it goes with it.
    const test::CChildResult child = test::RunInChild([&] {
        test::LimitFileSize(4096);
        const bool saved = doc.SaveDocument();
        return std::string(saved ? "saved" : "failed") + (doc.IsModified() ? " modified" : "") +
               (doc.GetTitle().ends_with(" *") ? " starred" : "") + (f.saved.empty() ? "" : " told") + ": " +
               doc.SaveError();
    });
    ASSERT_TRUE(child.ran);
    EXPECT_EQ(child.output, "failed modified starred: cannot write the file: File too large");
    EXPECT_EQ(test::ReadFileBytes(path), "old\r\nbytes\r\n");
}

TEST(RuxDocument, DerivedPaths) {
    struct Case {
        const char* program;
        const char* binary;
        const char* symbols;
    } cases[] = {
        {"/w/p/prog.rux", "/w/p/prog.bin", "/w/p/prog.sym"},
        {"/w/p.d/prog", "/w/p.d/prog.bin", "/w/p.d/prog.sym"},
        {"prog.RUX", "prog.bin", "prog.sym"},
        {"/w/a.b.rux", "/w/a.b.bin", "/w/a.b.sym"},
        {"/w/.hidden", "/w/.hidden.bin", "/w/.hidden.sym"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        CRUXDocument doc;
        doc.SetPathName(c.program);
        EXPECT_EQ(doc.GetBinaryPath(), c.binary) << c.program;
        EXPECT_EQ(doc.GetSymbolPath(), c.symbols) << c.program;
    }
}

TEST(RuxDocument, SymbolFileLines) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {"Speed% 12 3\r\n\r\nName\t \r\nLast", {"Speed%", "Name", "Last"}},
        {"  lead\n", {}},
        {"a\tb c\n", {"a\tb"}},
        {"", {}},
        {"x   \n\n\ny", {"x", "y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseSymbolFile(c.text), c.names) << c.text;

    // Debug mode loads the file beside the program; a missing file gives an empty list.
    CDocFixture f;
    CRUXDocument doc(f.Services());
    doc.SetPathName(f.dir.File("dbg.rux"));
    doc.SetDebugMode(true);
    EXPECT_TRUE(doc.Symbols().empty());
    test::WriteFileBytes(f.dir.File("dbg.sym"), "Alpha 1 2\r\nBeta\r\n");
    doc.SetDebugMode(false);
    EXPECT_TRUE(doc.Symbols().empty()) << "only switching on loads";
    doc.SetDebugMode(true);
    EXPECT_EQ(doc.Symbols(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(f.trace, (std::vector<std::string>{"RUX DOC SetDebugMode 1", "RUX DOC SetDebugMode 0",
                                                 "RUX DOC SetDebugMode 1"}));
}

TEST(RuxDocument, NodeLabelFromTheNodeDatabase) {
    struct Case {
        const char* text;
        const char* label;
    } cases[] = {
        {"Press 1=other\r\n  Press 2 =PROG\r\nPress 3=prog\r\n", "Press 2"},
        {"no equals sign\nLabel=prog", "Label"},
        {"A=prog.rux\nB= prog\n", ""},
        {"=prog\nB=prog\n", ""},
        {"A=x=prog\nB=prog\n", "B"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNodeLabel(c.text, "prog"), c.label) << c.text;

    CDocFixture f;
    CRUXDocument doc;
    doc.SetPathName(f.dir.File("Prog.rux"));
    EXPECT_EQ(doc.GetNodeLabel(), "") << "no node database";
    test::WriteFileBytes(f.dir.File("halm2.nad"), "Line drive=PROG\n");
    EXPECT_EQ(doc.GetNodeLabel(), "Line drive");
    CRUXDocument unnamed;
    EXPECT_EQ(unnamed.GetNodeLabel(), "");
}

TEST(RuxDocument, AcceptedPropertiesRecordUndoUpdateTheSuiteAndMarkModified) {
    CDocFixture f;
    CRUXDocument doc(f.Services());
    Adopt(doc, false, std::make_unique<CPar>(Header("Old", "", "A;B")));
    doc.SetPathName(f.dir.File("h.rux"));
    CNodePropertiesForm form(doc.GetHeader()->Header(), f.target, false);
    form.SetText(CNodePropertiesForm::kTitle, "New");
    std::vector<std::pair<int, int>> recorded;
    std::string titleWhenRecorded;
    doc.AcceptNodeProperties(form, [&](int index, int kind) {
        recorded.emplace_back(index, kind);
        titleWhenRecorded = doc.GetHeader()->Header().Title;
    });
    EXPECT_EQ(recorded, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(titleWhenRecorded, "Old") << "the undo record sees the header before the change";
    ASSERT_EQ(f.target.updates.size(), 1u);
    EXPECT_EQ(f.target.updates[0].Title, "New");
    ASSERT_EQ(f.notifier.sent.size(), 1u);
    EXPECT_EQ(f.notifier.sent[0].message, 1729);
    EXPECT_EQ(f.notifier.sent[0].tool, "Z2ADAZ");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "h.rux (New) *");
    EXPECT_EQ(doc.ReferencedLibraries(), (std::vector<std::string>{"B", "A"}));

    // Becoming a library drops the references.
    CNodePropertiesForm lib(doc.GetHeader()->Header(), f.target, false);
    lib.SetCheck(CNodePropertiesForm::kBuildAsLibrary, true);
    lib.SetText(CNodePropertiesForm::kLibraryName, "L");
    doc.AcceptNodeProperties(lib);
    EXPECT_TRUE(doc.ReferencedLibraries().empty());
    EXPECT_EQ(doc.GetTitle(), "Library L (h.rux) *");

    // A read-only dialog changes and sends nothing.
    CNodePropertiesForm readOnly(doc.GetHeader()->Header(), f.target, true);
    doc.AcceptNodeProperties(readOnly, [&](int, int) { recorded.emplace_back(-1, -1); });
    EXPECT_EQ(recorded.size(), 1u);
    EXPECT_EQ(f.target.updates.size(), 2u);

    // The description goes the same way; without a header there is nothing to push.
    doc.SetModified(false);
    doc.SetDescription("line 1\nline 2");
    EXPECT_EQ(doc.GetHeader()->Header().Descriptor, "line 1\nline 2");
    ASSERT_EQ(f.target.updates.size(), 3u);
    EXPECT_EQ(f.target.updates[2].Descriptor, "line 1\nline 2");
    ASSERT_EQ(f.notifier.sent.size(), 3u);
    EXPECT_EQ(f.notifier.sent[2].message, 1729);
    EXPECT_TRUE(doc.IsModified());
    CRUXDocument bare(f.Services());
    bare.SetDescription("x");
    EXPECT_EQ(f.target.updates.size(), 3u);
}

TEST(RuxDocument, DiagramDocumentsFollowTitleSaveDebugAndClose) {
    CDocFixture f;
    CRUXDocument doc(f.Services());
    Adopt(doc, true, std::make_unique<CPar>(Header("T")), Diagram("Diagram 1", "@VAR:1 X=Before\n"));
    doc.SetPathName(f.dir.File("g.rux"));
    doc.Reanalyse();
    auto* item = static_cast<const CDiag*>(doc.Items().GetAt(1));

    CLngDocument diagram;
    diagram.Bind(doc, *item);
    std::vector<bool> modes;
    diagram.SetDebugModeHandler([&](bool on) { modes.push_back(on); });
    diagram.SetPayloadSource([] { return std::string("@VAR:1 X=After\n"); });
    ASSERT_EQ(doc.DiagramDocuments().size(), 1u);
    EXPECT_EQ(diagram.GetTitle(), "g.rux (T) : Diagram 1");
    doc.SetModified(true);
    EXPECT_EQ(diagram.GetTitle(), "g.rux (T) : Diagram 1") << "without the program's modified mark";

    ASSERT_TRUE(doc.SaveDocument());
    EXPECT_EQ(item->GetText(), "@VAR:1 X=After\n") << "written back before the save";
    EXPECT_NE(test::ReadFileBytes(doc.GetPathName()).find("X=After"), std::string::npos);
    EXPECT_TRUE(doc.Identifiers().Contains("After"));
    EXPECT_FALSE(doc.Identifiers().Contains("Before"));
    EXPECT_FALSE(doc.IsModified());

    doc.SetDebugMode(true);
    EXPECT_EQ(modes, std::vector<bool>{true});

    doc.CloseDocument();
    EXPECT_TRUE(doc.DiagramDocuments().empty());
    EXPECT_EQ(diagram.GetProgram(), nullptr);
}

// The window's item is deleted and a new diagram takes its place (and, through the item pool, very
// likely its memory): saving the window must not write into the new diagram.
TEST(RuxDocument, DiagramWindowOfADeletedItemWritesNowhere) {
    CDocFixture f;
    CRUXDocument doc(f.Services());
    Adopt(doc, false, std::make_unique<CPar>(Header("T")), Diagram("Diagram 1", "@VAR:1 X=Before\n"));
    CLngDocument diagram;
    diagram.Bind(doc, *static_cast<const CDiag*>(doc.Items().GetAt(1)));
    diagram.SetPayloadSource([] { return std::string("@VAR:1 X=Window\n"); });

    doc.RemoveItems(1, 1); // handed back and deleted here
    std::vector<std::unique_ptr<CItem>> fresh;
    fresh.push_back(Diagram("Diagram 2", "@VAR:1 X=Other\n"));
    doc.InsertItems(1, std::move(fresh));
    doc.SetModified(false);

    EXPECT_EQ(diagram.GetProgram(), nullptr);
    EXPECT_TRUE(doc.DiagramDocuments().empty());
    diagram.SaveDocument();
    EXPECT_EQ(doc.Items().GetAt(1)->GetText(), "@VAR:1 X=Other\n");
    EXPECT_FALSE(doc.IsModified());
}

class CCountingObserver : public CDocumentObserver {
public:
    std::vector<int> hints;
    void OnUpdate(CRUXDocument&, int hint, const CDocumentChange*) override { hints.push_back(hint); }
};

// A program built aside replaces the document's in one step: every view hears it once, the windows
// of the old diagrams let go, and what the document derives from the header follows the new one.
TEST(RuxDocument, AdoptedProgramReplacesTheOldAndTellsEveryView) {
    CDocFixture f;
    CRUXDocument doc(f.Services());
    Adopt(doc, true, std::make_unique<CPar>(Header("Old", "", "A")), Diagram("Diagram 1", "@VAR:1 X=Old\n"));
    doc.SetPathName(f.dir.File("a.rux"));
    EXPECT_TRUE(doc.Identifiers().Contains("Old"));
    CLngDocument diagram;
    diagram.Bind(doc, *static_cast<const CDiag*>(doc.Items().GetAt(1)));
    CCountingObserver observer;
    doc.AddObserver(&observer);

    Adopt(doc, false, std::make_unique<CPar>(Header("New", "", "B;C")), std::make_unique<CLine>("Fresh = 1"));
    EXPECT_EQ(observer.hints, (std::vector<int>{kHintTitle, kHintAll})) << "the title, then everything";
    EXPECT_EQ(diagram.GetProgram(), nullptr);
    EXPECT_TRUE(doc.DiagramDocuments().empty());
    EXPECT_EQ(doc.Items().GetSize(), 2);
    EXPECT_FALSE(doc.HasFormat());
    EXPECT_EQ(doc.GetTitle(), "a.rux (New)");
    EXPECT_EQ(doc.ReferencedLibraries(), (std::vector<std::string>{"C", "B"}));
    EXPECT_TRUE(doc.Identifiers().Contains("Fresh"));
    EXPECT_FALSE(doc.Identifiers().Contains("Old"));

    doc.BeginTransaction();
    EXPECT_THROW(Adopt(doc, false), std::logic_error) << "views in the middle of a command keep their rows";
    EXPECT_FALSE(doc.EndTransaction());
    EXPECT_EQ(doc.Items().GetSize(), 2);
    doc.RemoveObserver(&observer);
}

TEST(RuxDocument, ModifiedFlipsAreTitleUpdates) {
    CRUXDocument doc;
    CCountingObserver observer;
    doc.AddObserver(&observer);
    doc.SetModified(true);
    doc.SetModified(true);
    doc.SetModified(false);
    EXPECT_EQ(observer.hints, (std::vector<int>{kHintTitle, kHintTitle}));
    doc.RemoveObserver(&observer);
}

} // namespace
} // namespace rux
