// Importing indexer code: the clipboard format it comes in, its checksums, and what the import and the
// indexer function block do to a program.
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/section_items.h"
#include "editor/edit_script.h"
#include "import/indexer_fb_form.h"
#include "import/indexer_import.h"
#include "import/sequencer_checksum.h"
#include "import/sequencer_clipboard_format.h"
#include "import/upgrade_address.h"
#include "import/utf16_text.h"
#include "support/edit_harness.h"
#include "support/fake_target.h"
#include "support/indexer_payload.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>

namespace rux {
namespace {

struct CFakePrompts final : CIndexerPrompts {
    std::vector<std::string> shown; // messages and questions, in order
    std::deque<bool> answers;       // Yes/No answers; Yes when none is left
    std::deque<std::string> names;  // what the name dialog is given; Cancel when none is left
    bool tickInformation = false;

    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        shown.push_back("? " + text);
        if (answers.empty()) return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool ShowImportInformation(const std::string& text) override {
        shown.push_back("i " + text);
        return tickInformation;
    }
    bool AskFunctionBlockName(CIndexerUDFBForm& form) override {
        while (!names.empty()) {
            form.SetName(names.front());
            names.pop_front();
            const std::string problem = form.OnOk();
            if (problem.empty()) return true;
            shown.push_back(problem);
        }
        return false;
    }
};

// The program most tests start from: an Alias section, an Initial task and a Background loop.
const std::vector<std::string> kBase = {
    "P", "// conveyor indexer", "{Alias", "; names",       "}",           "{Initial", "x% = 1",
    "}", "{Background",         "top:",   "  y% = y% + 1", "  goto top:", "}",
};

CSequencerClipboardFormat Payload(std::map<std::string, std::string> extra = {}) {
    CSequencerClipboardFormat blocks;
    std::map<std::string, std::string> values = test::IndexerPayloadBlocks(extra);
    values.try_emplace("Version", "2"); // unless `extra` names another
    for (auto& [key, value] : values)
        blocks.SetValue(key, value);
    return blocks;
}

class CImportFixture {
public:
    explicit CImportFixture(const std::string& bytes) {
        m_path = m_dir.Write("prog.rux", bytes);
        m_script.SetOutput([](const std::string&) {});
        if (!m_script.Open(m_path, {}, false, {})) throw std::runtime_error("cannot open the test program");
        m_settings.showInformation = &m_showInformation;
        m_settings.dataDirectory = m_dir.Path();
        m_showInformation = false;
        libraries.names = {"Conveyor", "IndexerLibrary"};
    }

    bool Import(const CSequencerClipboardFormat& blocks) {
        return ImportIndexerCode(m_script.Session(), blocks, prompts, libraries, m_settings);
    }
    bool AddBlock() { return AddIndexerFunctionBlock(m_script.Session(), prompts, m_dir.Path()); }

    std::string Saved() {
        const std::string out = m_dir.File("saved.rux");
        if (!m_script.SaveTo(out)) throw std::runtime_error("cannot save");
        return test::ReadFileBytes(out);
    }
    std::vector<std::string> Lines() const { return test::ItemTexts(const_cast<CEditScript&>(m_script).Document()); }
    int Count(const std::string& text) const {
        const auto lines = Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), text));
    }
    int IndexOf(const std::string& text) const {
        const auto lines = Lines();
        const auto it = std::find(lines.begin(), lines.end(), text);
        return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
    }
    // The title of the section that holds the row, or "" outside every section.
    std::string SectionOf(int index) {
        const CItem* item = m_script.Document().Items().GetAt(index);
        return item->GetSection() ? item->GetSection()->GetText() : "";
    }
    bool Expanded(const std::string& title) {
        for (const auto& item : m_script.Document().Items())
            if (item->GetType() == kItemSectionHeader && item->GetText() == title)
                return static_cast<const CSectionHeader&>(*item).IsExpanded();
        return false;
    }

    CEditScript& Script() { return m_script; }
    CEditSession& Session() { return m_script.Session(); }
    const test::CTempDir& Dir() const { return m_dir; }
    bool& ShowInformation() { return m_showInformation; }

    CFakePrompts prompts;
    test::CFakeLibraries libraries;

private:
    test::CTempDir m_dir;
    std::string m_path;
    CEditScript m_script;
    bool m_showInformation = false;
    CIndexerImportSettings m_settings;
};

// The program a save writes before any edit: the form the golden files are kept in.
std::string Normalised(const std::string& bytes) {
    CImportFixture f(bytes);
    return f.Saved();
}

TEST(IndexerImport, FirstImportMatchesTheGoldenFile) {
    const std::string base = test::ReadFileBytes(test::DataFile("import/indexer_base.rux"));
    CImportFixture f(base);
    ASSERT_TRUE(f.Import(Payload()));
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{});
    EXPECT_EQ(f.Saved(), test::ReadFileBytes(test::DataFile("import/indexer_first.expected.rux")));
    EXPECT_EQ(f.libraries.askedKind, 1);
    EXPECT_EQ(f.Session().Caret(), (CTextPos{1, 0}));
    EXPECT_TRUE(f.Script().Document().IsModified());
}

TEST(IndexerImport, SecondImportReplacesBetweenTheMarkers) {
    CImportFixture f(test::ReadFileBytes(test::DataFile("import/indexer_first.expected.rux")));
    ASSERT_TRUE(f.Import(
        Payload({{"INITIAL", "Step% = 5"}, {"ALIAS", "$DEFINE IDX_POS #19.02\n$DEFINE IDX_V #1.21"}})));
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{});
    EXPECT_EQ(f.Saved(), test::ReadFileBytes(test::DataFile("import/indexer_second.expected.rux")));
    // The same payload again changes no byte.
    const std::string once = f.Saved();
    ASSERT_TRUE(f.Import(
        Payload({{"INITIAL", "Step% = 5"}, {"ALIAS", "$DEFINE IDX_POS #19.02\n$DEFINE IDX_V #1.21"}})));
    EXPECT_EQ(f.Saved(), once);
}

TEST(IndexerImport, UndoRestoresEveryByteInOneStep) {
    const std::vector<std::string> programs[] = {
        kBase,
        {"P", "{-Alias", "; names", "}", "{Background",
         "top:", "  goto top:", "}"}, // folded, Initial missing
        {"P", "text only"},
    };
    for (const auto& rows : programs) {
        const std::string before = Normalised(test::ProgramBytes(rows));
        CImportFixture f(before);
        ASSERT_TRUE(f.Import(Payload({{"POS0", "#3.10 = 1"}})));
        EXPECT_EQ(f.Session().History().UndoCount(), 1u) << "one undo group for the whole import";
        EXPECT_NE(f.Saved(), before);
        const std::string after = f.Saved();
        f.Session().Undo();
        EXPECT_EQ(f.Saved(), before) << rows[1];
        f.Session().Redo();
        EXPECT_EQ(f.Saved(), after) << rows[1];
    }
}

// Refused imports change no byte and leave nothing to undo.
TEST(IndexerImport, RefusalsChangeNothing) {
    const std::string older =
        "HalmPro cannot import the indexer program as it appears to be an older version that HalmPro doesn't "
        "recognise. \nTo resolve this, check for an upgrade to QUODEX " +
        std::string(kUpgradeAddress);
    const std::string newer =
        "HalmPro cannot import the indexer program as it appears to be a newer version that HalmPro doesn't "
        "recognise. \nTo resolve this, check for an upgrade to HalmPro " +
        std::string(kUpgradeAddress);
    const std::string misplaced =
        "? Warning: The code may not be imported correctly. The header "
        "comments:\n//{{QUODEX_INDEXER_JOG\nor\n"
        "//}}QUODEX_INDEXER_JOG\nwere not found or were not in the correct position.\nContinue with import?";
    const std::vector<std::string> misplacedRows[] = {
        {"P", "//{{QUODEX_INDEXER_JOG", "{Alias", "}"},                                // no end marker
        {"P", "//}}QUODEX_INDEXER_JOG", "{Alias", "}", "//{{QUODEX_INDEXER_JOG"},      // end first
        {"P", "{Alias", "//{{QUODEX_INDEXER_JOG", "}", "//}}QUODEX_INDEXER_JOG", "x"}, // two sections
    };
    struct {
        const char* name;
        std::vector<std::string> rows;
        std::optional<std::string> version; // none: no data at all
        bool online;
        std::vector<std::string> shown; // a misplaced marker's question is answered No
    } cases[] = {
        {"version 1", kBase, "1", false, {older}},
        {"version 3", kBase, "3", false, {newer}},
        {"no version", kBase, "", false, {older}},
        {"version 10", kBase, "10", false, {newer}},
        {"no data", kBase, std::nullopt, false, {}},
        {"online", kBase, "2", true, {}},
        {"no end marker", misplacedRows[0], "2", false, {misplaced}},
        {"end marker first", misplacedRows[1], "2", false, {misplaced}},
        {"markers in two sections", misplacedRows[2], "2", false, {misplaced}},
    };
    for (const auto& c : cases) {
        const std::string before = Normalised(test::ProgramBytes(c.rows));
        CImportFixture f(before);
        f.prompts.answers = {false};
        f.Session().SetOnline(c.online);
        EXPECT_FALSE(f.Import(c.version ? Payload({{"Version", *c.version}}) : CSequencerClipboardFormat()))
            << c.name;
        f.Session().SetOnline(false);
        EXPECT_EQ(f.prompts.shown, c.shown) << c.name;
        EXPECT_EQ(f.Saved(), before) << c.name;
        EXPECT_FALSE(f.Session().CanUndo()) << c.name;
        EXPECT_FALSE(f.Script().Document().IsModified()) << c.name;
    }
    // Yes to the question imports the code, in one step.
    for (const auto& rows : misplacedRows) {
        CImportFixture f(Normalised(test::ProgramBytes(rows)));
        f.prompts.answers = {true};
        EXPECT_TRUE(f.Import(Payload()));
        ASSERT_FALSE(f.prompts.shown.empty());
        EXPECT_EQ(f.prompts.shown[0], misplaced);
        EXPECT_EQ(f.Count("#1.21 = 100"), 1);
        EXPECT_EQ(f.Session().History().UndoCount(), 1u);
    }
}

// Without a POS0 block there is no Pos0 section: the golden first import holds none.
TEST(IndexerImport, Pos0SectionOnlyWithItsBlock) {
    CImportFixture f(test::ProgramBytes(kBase));
    ASSERT_TRUE(f.Import(Payload({{"POS0", "#3.10 = Pos%"}})));
    const int header = f.IndexOf("Pos0");
    ASSERT_GT(header, 0);
    const auto lines = f.Lines();
    // Created empty at the end, then given the block as its first lines.
    const std::vector<std::string> tail(lines.begin() + header, lines.end());
    const std::string crc = ChecksumLine("#3.10 = Pos%");
    EXPECT_EQ(tail,
              (std::vector<std::string>{"Pos0", "", "//{{QUODEX_INDEXER_POS0",
                                        "// Please do not modify code within in this secion", crc,
                                        "#3.10 = Pos%", crc, "//}}QUODEX_INDEXER_POS0", "", "", "Pos0"}));
    for (int i = header + 1; i + 1 < static_cast<int>(lines.size()); ++i)
        EXPECT_EQ(f.SectionOf(i), "Pos0") << i;
}

TEST(IndexerImport, EmptyValueKeepsTheMarkersWithNothingBetween) {
    CImportFixture f(test::ReadFileBytes(test::DataFile("import/indexer_first.expected.rux")));
    ASSERT_TRUE(f.Import(Payload({{"ALIAS", ""}, {"JOG", ""}})));
    const int start = f.IndexOf("//{{QUODEX_INDEXER_ALIAS");
    ASSERT_GT(start, 0);
    EXPECT_EQ(f.Lines()[static_cast<size_t>(start) + 1], "//}}QUODEX_INDEXER_ALIAS");
    const int jog = f.IndexOf("//{{QUODEX_INDEXER_JOG");
    ASSERT_GT(jog, 0);
    EXPECT_EQ(f.Lines()[static_cast<size_t>(jog) + 1], "//}}QUODEX_INDEXER_JOG");
    EXPECT_EQ(f.IndexOf("IdxJog:"), -1) << "the old subroutine went with the text between the markers";

    // On a program without markers an empty value inserts nothing, not even the markers.
    CImportFixture g(test::ProgramBytes(kBase));
    ASSERT_TRUE(g.Import(Payload({{"ALIAS", ""}})));
    EXPECT_EQ(g.IndexOf("//{{QUODEX_INDEXER_ALIAS"), -1);
}

TEST(IndexerImport, BackgroundBlockGoesBeforeTheLoopJump) {
    struct {
        const char* name;
        std::vector<std::string> rows;
        bool warned;
    } cases[] = {
        {"loop present", kBase, false},
        {"no top:", {"P", "{Alias", "}", "{Background", "  y% = 1", "  goto top:", "}"}, true},
        {"no goto top:", {"P", "{Alias", "}", "{Background", "top:", "  y% = 1", "}"}, true},
        {"goto top: in another section",
         {"P", "{Alias", "}", "{Background", "top:", "}", "{Clock", "goto top:", "}"}, true},
        {"goto top: alone does not count as its own top:",
         {"P", "{Alias", "}", "{Background", "goto top:", "}"}, true},
    };
    const std::string warning =
        "Warning: The lines \"top:\" and \"goto top:\" could not be found in the background task.";
    for (const auto& c : cases) {
        CImportFixture f(test::ProgramBytes(c.rows));
        ASSERT_TRUE(f.Import(Payload())) << c.name;
        EXPECT_EQ(f.prompts.shown, c.warned ? std::vector<std::string>{warning} : std::vector<std::string>{})
            << c.name;
        const int start = f.IndexOf("//{{QUODEX_INDEXER_BACKGROUND_TASK");
        const int end = f.IndexOf("//}}QUODEX_INDEXER_BACKGROUND_TASK");
        ASSERT_GT(start, 0) << c.name;
        EXPECT_EQ(f.SectionOf(start), "Background") << c.name;
        EXPECT_EQ(f.Lines()[static_cast<size_t>(end) - 1], "_SequencerBackground()") << c.name;
        const std::vector<std::string> lines = f.Lines();
        if (!c.warned) {
            EXPECT_EQ(lines[static_cast<size_t>(end) + 2], "  goto top:") << c.name;
        } else {
            EXPECT_EQ(lines[static_cast<size_t>(start) - 2], "Background")
                << c.name << ": at the section start";
        }
    }
}

TEST(IndexerImport, ReferencesTheIndexerLibrary) {
    struct {
        const char* name;
        std::vector<std::string> available;
        std::string refLibs;
        std::string expected;
        bool warned;
    } cases[] = {
        {"available, none referenced", {"IndexerLibrary"}, "", "IndexerLibrary", false},
        {"available, others referenced", {"A", "IndexerLibrary"}, "Conv", "Conv;IndexerLibrary", false},
        {"already referenced", {}, "IndexerLibrary;Conv", "IndexerLibrary;Conv", false},
        {"missing", {"Conv"}, "Conv", "Conv", true},
    };
    for (const auto& c : cases) {
        std::string bytes = test::ProgramBytes(kBase);
        bytes.replace(bytes.find("AUTHOR=a"), 8, "AUTHOR=a\r\nRefLibs=" + c.refLibs);
        CImportFixture f(bytes);
        f.libraries.names = c.available;
        ASSERT_TRUE(f.Import(Payload())) << c.name;
        EXPECT_EQ(f.Script().Document().GetHeader()->Header().RefLibs, c.expected) << c.name;
        EXPECT_EQ(
            f.prompts.shown,
            c.warned ? std::vector<
                           std::string>{"Warning: The Indexer library \"IndexerLibrary\" could not be found."}
                     : std::vector<std::string>{})
            << c.name;
        const auto refs = [&f] {
            const auto& list = f.Script().Document().ReferencedLibraries();
            return std::count(list.begin(), list.end(), std::string("IndexerLibrary"));
        };
        EXPECT_EQ(refs(), c.warned ? 0 : 1) << c.name;
        f.Session().Undo();
        EXPECT_EQ(f.Script().Document().GetHeader()->Header().RefLibs, c.refLibs) << c.name;
        EXPECT_EQ(refs(), c.refLibs.find("IndexerLibrary") == 0 ? 1 : 0)
            << c.name << ": the list follows the undo";
        f.Session().Redo();
        EXPECT_EQ(refs(), c.warned ? 0 : 1) << c.name;
    }
}

TEST(IndexerImport, RoutinesFollowTheIndexerFunctionBlock) {
    const std::string title = IndexerFunctionBlockTitle("_FBIdx");
    CImportFixture f(test::ProgramBytes(
        {"P", "$INDEXROUTINE _FBIdx", "{Alias", "}", "{" + title, "FBbody", "}", "mine", "{Initial", "}"}));
    ASSERT_TRUE(f.Import(Payload()));
    const auto lines = f.Lines();
    const int footer =
        static_cast<int>(std::find(lines.begin() + f.IndexOf(title) + 1, lines.end(), title) - lines.begin());
    // In the order they were inserted, each at the same place: the last one first.
    EXPECT_EQ(lines[static_cast<size_t>(footer) + 1], "");
    EXPECT_EQ(lines[static_cast<size_t>(footer) + 2], "//{{QUODEX_INDEXER_JOG");
    EXPECT_LT(f.IndexOf("//}}QUODEX_INDEXER_JOG"), f.IndexOf("//{{QUODEX_INDEXER_INITIAL"));
    EXPECT_LT(f.IndexOf("//}}QUODEX_INDEXER_INITIAL"), f.IndexOf("//{{QUODEX_INDEXER_BACKGROUND"));
    EXPECT_LT(f.IndexOf("//}}QUODEX_INDEXER_BACKGROUND"), f.IndexOf("mine"));
    EXPECT_EQ(f.SectionOf(f.IndexOf("#1.21 = 100")), "IdxJog:");
    EXPECT_EQ(f.SectionOf(f.IndexOf("//{{QUODEX_INDEXER_JOG")), "") << "routines lie between sections";
}

TEST(IndexerImport, FoldStatesStayAsTheyWere) {
    // A folded Alias section holding markers of an earlier import; a folded Background.
    CImportFixture f(
        test::ProgramBytes({"P", "{-Alias", "//{{QUODEX_INDEXER_ALIAS", "old", "//}}QUODEX_INDEXER_ALIAS",
                            "}", "{Initial", "}", "{-Background", "top:", "goto top:", "}", "{-Clock", "}"}));
    ASSERT_TRUE(f.Import(Payload()));
    EXPECT_FALSE(f.Expanded("Alias"));
    EXPECT_FALSE(f.Expanded("Background"));
    EXPECT_TRUE(f.Expanded("Initial"));
    EXPECT_FALSE(f.Expanded("Clock"));
    EXPECT_EQ(f.IndexOf("old"), -1);
    EXPECT_EQ(f.SectionOf(f.IndexOf("$DEFINE IDX_POS #19.01")), "Alias");
}

TEST(IndexerImport, InformationShownWhileTheOptionIsOn) {
    CImportFixture f(test::ProgramBytes(kBase));
    f.Dir().Write("QuodexImportInformation.txt", "About the import\r\n");
    f.ShowInformation() = true;
    f.prompts.tickInformation = true;
    ASSERT_TRUE(f.Import(Payload()));
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"i About the import\r\n"});
    EXPECT_FALSE(f.ShowInformation()) << "the ticked box turns the option off";
    f.prompts.shown.clear();
    ASSERT_TRUE(f.Import(Payload()));
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{});
}

TEST(IndexerFunctionBlock, NameRule) {
    struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"_FBIndexer", true}, {"_a", true},     {"_a1b2", true},   {"_Z9", true},    {"_", false},
        {"", false},          {"_1abc", false}, {"a_bc", false},   {"_ab_c", false}, {"_ab c", false},
        {"__ab", false},      {"_ab%", false},  {"_\xE9t", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CIndexerUDFBForm::IsValidName(c.name), c.valid) << c.name;
        CIndexerUDFBForm form;
        form.SetName(c.name);
        EXPECT_EQ(form.OnOk(),
                  c.valid
                      ? ""
                      : "Invalid or missing function block name. FB name should begin with an '_' character.")
            << c.name;
    }
    EXPECT_EQ(CIndexerUDFBForm().Name(), "_FBIndexer");
}

TEST(IndexerFunctionBlock, AddsTheBlockAndTheDirectiveInOneStep) {
    const std::string title = "(Output%) = _FBIndexer (CurrentType%, CurrentItem%)";
    struct {
        const char* name;
        std::vector<std::string> rows;
        std::vector<std::string> expected;
    } cases[] = {
        {"after the Alias section",
         {"P", "// mine", "{Alias", "; a", "}", "{Initial", "}"},
         {"", "$INDEXROUTINE _FBIndexer", "", "// mine", "Alias", "; a", "Alias", "", title, "FBbody", title,
          "", "", "Initial", "Initial"}},
        {"at the start without one", {"P", "{Initial", "}"},
         {"", "$INDEXROUTINE _FBIndexer", "", "", title, "FBbody", title, "", "", "Initial", "Initial"}},
    };
    for (const auto& c : cases) {
        const std::string before = Normalised(test::ProgramBytes(c.rows));
        CImportFixture f(before);
        f.Dir().Write("udfb.tpl", "FBbody\r\n");
        f.prompts.names = {"_FBIndexer"};
        ASSERT_TRUE(f.AddBlock()) << c.name;
        EXPECT_EQ(f.Lines(), c.expected) << c.name;
        const int header = f.IndexOf(title);
        EXPECT_TRUE(f.Script().Document().Items().GetAt(header)->GetType() == kItemSectionHeader);
        EXPECT_EQ(f.SectionOf(header + 1), title);
        EXPECT_EQ(f.Session().History().UndoCount(), 1u);
        f.Session().Undo();
        EXPECT_EQ(f.Saved(), before) << c.name;
    }
}

TEST(IndexerFunctionBlock, DirectiveAlreadyThere) {
    struct {
        const char* line;
        bool refused;
    } cases[] = {
        {"$INDEXROUTINE _FBOld", true},
        {"// see $INDEXROUTINE _FBOld", true},
        {"x$INDEXROUTINE _FBOld", false},
        {"$INDEXROUTINE", false},
    };
    for (const auto& c : cases) {
        CImportFixture f(test::ProgramBytes({"P", "{Alias", "}", c.line}));
        f.prompts.names = {"_FBIndexer"};
        EXPECT_EQ(f.AddBlock(), !c.refused) << c.line;
        if (!c.refused) continue;
        EXPECT_EQ(f.prompts.shown,
                  std::vector<std::string>{"The $INDEXROUTINE  directive is already used in the rux file"});
        EXPECT_EQ(f.prompts.names.size(), 1u) << "the dialog never opened";
        EXPECT_EQ(f.Session().SelectionStart(), (CTextPos{1, 3}));
        EXPECT_EQ(f.Session().SelectionStop(),
                  (CTextPos{static_cast<int>(std::string(c.line).size()) + 1, 3}));
        EXPECT_FALSE(f.Session().CanUndo());
    }
}

TEST(IndexerFunctionBlock, AsksAgainWhileTheNameIsTaken) {
    const std::string taken =
        "There is already a user defined function block with the name \"_FBIndexer\" in the rux file "
        "please choose a different name";
    CImportFixture f(test::ProgramBytes({"P", "{Alias", "}", "{(a%) = _FBIndexer (b%)", "}"}));
    f.prompts.names = {"_FBIndexer", "9bad", "_FBIdx2"};
    ASSERT_TRUE(f.AddBlock());
    EXPECT_EQ(
        f.prompts.shown,
        (std::vector<std::string>{
            taken, "Invalid or missing function block name. FB name should begin with an '_' character."}));
    EXPECT_EQ(f.Count("$INDEXROUTINE _FBIdx2"), 1);
    EXPECT_EQ(f.Count("(Output%) = _FBIdx2 (CurrentType%, CurrentItem%)"), 2);

    // Cancel in the dialog after the message: nothing changes.
    CImportFixture g(test::ProgramBytes({"P", "{(Output%) = _FBIndexer (CurrentType%, CurrentItem%)", "}"}));
    g.prompts.names = {"_FBIndexer"};
    EXPECT_FALSE(g.AddBlock());
    EXPECT_EQ(g.prompts.shown, std::vector<std::string>{taken});
    EXPECT_EQ(g.Session().SelectionStart(), (CTextPos{1, 1})) << "the existing block is selected";
    EXPECT_FALSE(g.Session().CanUndo());
}

// The register bit by bit, straight from the polynomial, to hold the tables to.
uint16_t ModbusRegister(std::string_view bytes) {
    uint16_t crc = 0xFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

TEST(SequencerChecksum, KnownValuesAndTheByteSwap) {
    struct {
        std::string text;
        uint16_t written;
    } cases[] = {
        {"123456789", 0x374B},
        {"", 0xFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SequencerChecksum(c.text), c.written) << c.text;
        const uint16_t reg = ModbusRegister(c.text);
        EXPECT_EQ(SequencerChecksum(c.text), static_cast<uint16_t>((reg << 8) | (reg >> 8))) << c.text;
    }
    EXPECT_EQ(ChecksumLine("123456789"), "//CRC:0x374B");
    EXPECT_EQ(ChecksumLine(""), "//CRC:0xFFFF");
    // Every byte value, high bytes of the code page included, goes through both table halves.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (const std::string& text :
         {all, std::string("$DEFINE A #1.21\r\nx% = 1\n"), std::string("\xE9\x80\xFF")}) {
        const uint16_t reg = ModbusRegister(text);
        EXPECT_EQ(SequencerChecksum(text), static_cast<uint16_t>((reg << 8) | (reg >> 8)));
    }
}

TEST(SequencerChecksum, LineHasNoLeadingZeros) {
    // Look for short texts whose checksum needs fewer than four digits (no two printable characters
    // give one).
    int found = 0;
    for (int a = 32; a < 127 && found < 3; ++a)
        for (int b = 32; b < 127 && found < 3; ++b) {
            const std::string text{'x', static_cast<char>(a), static_cast<char>(b)};
            const uint16_t value = SequencerChecksum(text);
            if (value >= 0x1000) continue;
            ++found;
            const std::string line = ChecksumLine(text);
            const std::string digits = line.substr(8);
            EXPECT_EQ(line.substr(0, 8), "//CRC:0x");
            EXPECT_LT(digits.size(), 4u) << line;
            EXPECT_TRUE(value == 0 || digits[0] != '0') << line;
            EXPECT_EQ(std::stoul(digits, nullptr, 16), value) << line;
            EXPECT_EQ(digits.find_first_of("abcdef"), std::string::npos) << line;
        }
    EXPECT_EQ(found, 3);
}

std::u16string U16(std::string_view ascii) {
    return Utf8ToUtf16(ascii);
}

TEST(SequencerClipboardFormat, ReadsPayloads) {
    struct {
        const char* name;
        std::u16string payload;
        std::map<std::string, std::string> blocks;
    } cases[] = {
        {"any root name, version from text, blocks from CDATA",
         U16("<Whatever><Version>2</Version><ALIAS><![CDATA[$DEFINE A #1.21]]></ALIAS></Whatever>"),
         {{"Version", "2"}, {"ALIAS", "$DEFINE A #1.21"}}},
        {"plain text instead of CDATA gives an empty value",
         U16("<r><Version>2</Version><JOG>x = 1</JOG><JOG_SUBROUTINE_NAME>Jog</JOG_SUBROUTINE_NAME></r>"),
         {{"Version", "2"}, {"JOG", ""}, {"JOG_SUBROUTINE_NAME", ""}}},
        {"the version is not read from CDATA", U16("<r><Version><![CDATA[2]]></Version></r>"),
         {{"Version", ""}}},
        {"the first CDATA section after text, unused elements kept",
         U16("<r>\n <Extra>t<![CDATA[one]]><![CDATA[two]]></Extra>\n <POS0><![CDATA[]]></POS0>\n</r>"),
         {{"Extra", "one"}, {"POS0", ""}}},
        {"markup inside CDATA stays text",
         U16("<r><INITIAL><![CDATA[IF a% < 2 & b% > 1 THEN]]></INITIAL></r>"),
         {{"INITIAL", "IF a% < 2 & b% > 1 THEN"}}},
        {"the declaration is ignored",
         U16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r><Version>3</Version></r>"), {{"Version", "3"}}},
        {"the text ends at its zero", U16("<r><Version>2</Version></r>") + u'\0' + U16("garbage"),
         {{"Version", "2"}}},
        {"a key given twice keeps its last text",
         U16("<r><JOG><![CDATA[one]]></JOG><JOG><![CDATA[two]]></JOG></r>"), {{"JOG", "two"}}},
        {"unparsable text", U16("<r><Version>2</Version>"), {}},
        {"not XML at all", U16("Version=2"), {}},
        {"empty text", u"", {}},
    };
    for (const auto& c : cases) {
        CSequencerClipboardFormat format;
        format.SetValue("left over", "from an earlier read");
        format.ReadPayload(c.payload);
        EXPECT_EQ(format.Blocks(), c.blocks) << c.name;
    }
}

TEST(SequencerClipboardFormat, ConvertsToTheCodePage) {
    // e acute and the euro sign are in the code page; A with macron and an emoji are not.
    const std::u16string payload = u"<r><ALIAS><![CDATA[\u00E9\u20AC\u0100\U0001F600\r\nz]]></ALIAS></r>";
    CSequencerClipboardFormat format;
    format.ReadPayload(payload);
    EXPECT_EQ(format.Value("ALIAS"), "\xE9\x80??\nz") << "line ends are normalised as XML reads them";
    EXPECT_EQ(format.Value("missing"), "");
}

TEST(SequencerClipboardFormat, ReadsFromItsSourceAndEmptiesWithoutData) {
    struct CFake final : CSequencerSource {
        std::optional<std::u16string> text;
        std::optional<std::u16string> GetSequencerText() override { return text; }
    } source;
    CSequencerClipboardFormat format;
    source.text = u"<a><Version>2</Version></a>";
    format.Read(source);
    EXPECT_EQ(format.Value("Version"), "2");
    source.text.reset();
    format.Read(source);
    EXPECT_TRUE(format.IsEmpty());
}

TEST(SequencerClipboardFormat, ShapesBlocks) {
    struct {
        const char* name;
        std::string text;
        std::vector<std::string> body;
    } cases[] = {
        {"one line", "x% = 1", {"x% = 1"}},
        {"two lines", "a\nb", {"a", "b"}},
        {"a trailing line feed gives an empty last line", "a\nb\n", {"a", "b", ""}},
        {"a carriage return stays in its line", "a\r\nb", {"a\r", "b"}},
        {"only a line feed", "\n", {"", ""}},
    };
    for (const auto& c : cases) {
        CSequencerClipboardFormat format;
        format.SetValue("K", c.text);
        std::vector<std::string> lines{"before"};
        ASSERT_TRUE(format.BlockLines("K", lines)) << c.name;
        std::vector<std::string> expected{"before", "// Please do not modify code within in this secion",
                                          ChecksumLine(c.text)};
        expected.insert(expected.end(), c.body.begin(), c.body.end());
        expected.push_back(ChecksumLine(c.text));
        EXPECT_EQ(lines, expected) << c.name;
    }
    CSequencerClipboardFormat format;
    format.SetValue("EMPTY", "");
    std::vector<std::string> lines{"kept"};
    EXPECT_FALSE(format.BlockLines("EMPTY", lines));
    EXPECT_FALSE(format.BlockLines("ABSENT", lines));
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

std::vector<std::string> Texts(const CSequencerClipboardFormat::ItemList& items) {
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item->GetText());
    return texts;
}

TEST(SequencerClipboardFormat, WrapsAndMakesRoutines) {
    auto items = LinesToItems({"a", "b"});
    CSequencerClipboardFormat::Wrap("JOG", items);
    EXPECT_EQ(Texts(items), (std::vector<std::string>{"", "//{{QUODEX_INDEXER_JOG", "a", "b",
                                                      "//}}QUODEX_INDEXER_JOG", ""}));

    struct {
        const char* title;
        bool functionBlock;
        std::vector<std::string> texts;
    } cases[] = {
        {"_SequencerInitial ()", true,
         {"_SequencerInitial ()", "", "FBbody", "a", "b", "_SequencerInitial ()"}},
        {"Jog:", false, {"Jog:", "a", "b", "Jog:"}},
    };
    for (const auto& c : cases) {
        auto routine = LinesToItems({"a", "b"});
        uint32_t counter = 7;
        CSequencerClipboardFormat::Routine(c.title, routine, counter, c.functionBlock);
        EXPECT_EQ(counter, 8u) << c.title;
        EXPECT_EQ(Texts(routine), c.texts) << c.title;
        ASSERT_EQ(routine.front()->GetType(), kItemSectionHeader);
        const auto& header = static_cast<const CSectionHeader&>(*routine.front());
        EXPECT_EQ(header.GetId(), 7u);
        EXPECT_TRUE(header.IsExpanded());
        EXPECT_EQ(header.IsFunctionBlock(), c.functionBlock);
        EXPECT_EQ(routine.back()->GetType(), kItemSectionFooter);
        for (size_t i = 1; i < routine.size(); ++i) {
            EXPECT_EQ(routine[i]->GetSection(), &header) << c.title << " row " << i;
            EXPECT_EQ(routine[i]->GetSectionId(), 7u);
        }
    }
}

TEST(Utf16Text, ConversionsBothWays) {
    const std::u16string lone = {u'A', 0x00FF, 0x0081, 0x2122, 0xD800, u'x', 0xDC00};
    EXPECT_EQ(Utf16ToCp1252(lone), "A\xFF\x81\x99?x?") << "lone surrogates";
    EXPECT_EQ(Utf8ToUtf16("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(Utf8ToUtf16("\xC3(\xE9\xC0\x80"), u"\uFFFD(\uFFFD\uFFFD\uFFFD")
        << "broken and overlong sequences";
    EXPECT_EQ(Utf16FromLittleEndian(Utf16ToLittleEndianZ(u"\u20ACa")), std::u16string(u"\u20ACa") + u'\0');
    EXPECT_EQ(Utf16FromBigEndian(std::string("\x20\xAC\x00", 3)), u"\u20AC") << "odd last byte dropped";
}

TEST(Utf16Text, ClipboardBytesFollowTheirByteOrderMark) {
    using namespace std::string_literals;
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"<\0a\0"s, u"<a"},                   // the platform's own order, no mark
        {"\xFF\xFE<\0\xAC\x20"s, u"<\u20AC"}, // little-endian mark dropped
        {"\xFE\xFF\0<\x20\xAC"s, u"<\u20AC"}, // big-endian after its mark
        {"\xFE"s, u""},                       // one byte is no code unit
        {"\xFF\xFE"s, u""},                   // a mark alone
        {"<\0\xFF\xFE"s, u"<\uFEFF"},         // a mark later on is text
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16FromClipboardBytes(c.bytes), c.text) << c.bytes.size();
}

} // namespace
} // namespace rux
