// The Indexer menu of a program window: the sequencing tool's export taken from the desktop
// clipboard into the open program, undone in one step, and the indexer's function block added
// through its name dialog.
#include "dialogs/dialog_test_support.h"
#include "editor_harness.h"

#include "dialogs/import_information_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "document/item_list.h"
#include "document/program_file.h"
#include "document/rux_document.h"
#include "editor/edit_script.h"
#include "frame/mdi_child.h"
#include "import/utf16_text.h"
#include "shell/command_ids.h"
#include "support/edit_harness.h"
#include "support/indexer_payload.h"
#include "support/temp_dir.h"
#include "view/sequencer_clipboard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace rux {
namespace {

using test::CEditorHarness;
using test::DataFile;
using test::SavedBytes;

// The export the core's import tests start from, as the sequencing tool writes it.
std::string PayloadXml(const std::string& version, const std::map<std::string, std::string>& extra = {}) {
    const std::map<std::string, std::string> values = test::IndexerPayloadBlocks(extra);
    std::string xml = "<?xml version=\"1.0\"?>\n<IndexerExport>\n  <Version>" + version + "</Version>\n";
    for (const auto& [key, value] : values)
        xml += "  <" + key + "><![CDATA[" + value + "]]></" + key + ">\n";
    return xml + "</IndexerExport>\n";
}

enum class EOffer { Mime, X11Target, PlainTextOnly };

// Puts the payload on the desktop clipboard as UTF-16 with its terminating zero, under one name.
void PutOnClipboard(const std::string& xml, EOffer offer) {
    auto* data = new QMimeData;
    const std::string bytes = Utf16ToLittleEndianZ(Utf8ToUtf16(xml));
    const QByteArray payload(bytes.data(), static_cast<qsizetype>(bytes.size()));
    switch (offer) {
    case EOffer::Mime:
        data->setData(QStringLiteral("application/x-quodex-sequencer-export"), payload);
        break;
    case EOffer::X11Target:
        data->setData(QStringLiteral("QUODEX_SEQUENCER_EXPORT"), payload);
        break;
    case EOffer::PlainTextOnly:
        data->setText(QString::fromStdString(xml));
        break;
    }
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

// The program the import tests start from: an Alias section, an Initial task, a Background loop.
std::string BaseProgram() {
    return CEditorHarness::Read(DataFile("import/indexer_base.rux"));
}

// Every item's text after the program header: the header is the target library's to refresh on
// open, so the editor and a script may word it differently.
std::vector<std::string> BodyLines(CRUXDocument& document) {
    std::vector<std::string> lines;
    const CObArrayEx& items = document.Items();
    for (int i = 1; i < items.GetSize(); ++i)
        lines.push_back(items.GetAt(i)->GetText());
    return lines;
}

std::vector<std::string> GoldenBodyLines(const std::string& path) {
    CEditScript script;
    script.SetOutput([](const std::string&) {});
    if (!script.Open(path, {}, false, {})) return {"cannot open " + path};
    return BodyLines(script.Document());
}

// An editor with one program open; the information dialog off unless asked for.
struct CIndexerBench {
    explicit CIndexerBench(const std::string& programBytes, bool showInformation = false) {
        h.WriteSettings(std::string("[RUXCONF]\r\nShowQuodexImportInfoDlg=") + (showInformation ? "1" : "0") +
                        "\r\n");
        const std::string path = h.Root() + "/station3.rux";
        CEditorHarness::Write(path, programBytes);
        started = h.Start({path});
    }
    CRUXDocument& Document() { return h.Frame().Children().at(0)->Document(); }
    bool Enabled(int id) {
        h.Frame().UpdateCommandStates();
        return h.Frame().Action(id)->isEnabled();
    }

    CEditorHarness h;
    bool started = false;
};

TEST(IndexerCommands, ImportTakesTheClipboardExportAndUndoesInOneStep) {
    const std::vector<std::string> expected = GoldenBodyLines(DataFile("import/indexer_first.expected.rux"));
    for (EOffer offer : {EOffer::Mime, EOffer::X11Target}) {
        CIndexerBench bench(BaseProgram());
        ASSERT_TRUE(bench.started);
        CRUXDocument& document = bench.Document();
        const std::string before = SavedBytes(document);
        PutOnClipboard(PayloadXml("2"), offer);

        ASSERT_TRUE(bench.Enabled(ID_IMPORT_QUODEX));
        EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_QUODEX));
        EXPECT_EQ(bench.h.boxes, std::vector<QString>{}) << "no warning for a program with every section";
        EXPECT_EQ(BodyLines(document), expected) << static_cast<int>(offer);
        EXPECT_TRUE(document.IsModified());
        const auto& refs = document.ReferencedLibraries();
        EXPECT_NE(std::find(refs.begin(), refs.end(), "IndexerLibrary"), refs.end())
            << "the library shipped beside the editor is referenced";

        EXPECT_TRUE(bench.h.Frame().RunCommand(ID_EDIT_UNDO));
        EXPECT_EQ(SavedBytes(document), before) << "one undo takes the whole import back";
    }
}

TEST(IndexerCommands, ImportWithoutAUsableExportChangesNothing) {
    // The import's own refusal, shown in the editor's box.
    const char* newer = "HalmPro cannot import the indexer program as it appears to be a newer version";
    struct {
        const char* name;
        std::string xml;
        EOffer offer;
        const char* box; // start of the one box shown, or none
    } cases[] = {
        {"plain text only", PayloadXml("2"), EOffer::PlainTextOnly, nullptr},
        {"unparsable", "<IndexerExport><ALIAS>", EOffer::Mime, nullptr},
        {"version 3", PayloadXml("3"), EOffer::X11Target, newer},
    };
    for (const auto& c : cases) {
        CIndexerBench bench(BaseProgram());
        ASSERT_TRUE(bench.started);
        const std::string before = SavedBytes(bench.Document());
        PutOnClipboard(c.xml, c.offer);
        EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_QUODEX)) << c.name;
        EXPECT_EQ(SavedBytes(bench.Document()), before) << c.name;
        EXPECT_FALSE(bench.Document().IsModified()) << c.name;
        if (!c.box) {
            EXPECT_EQ(bench.h.boxes, std::vector<QString>{}) << c.name;
            continue;
        }
        ASSERT_EQ(bench.h.boxes.size(), 1u) << c.name;
        EXPECT_TRUE(bench.h.boxes[0].startsWith(QString::fromLatin1(c.box)))
            << bench.h.boxes[0].toStdString();
        EXPECT_EQ(bench.h.icons[0], QMessageBox::Warning) << c.name;
    }
}

TEST(IndexerCommands, MisplacedMarkersAskBeforeImporting) {
    // An end marker without its start: the question, and the user's answer decides.
    std::string program = BaseProgram();
    const std::string anchor = ":// Conveyor indexer, station 3\r\n";
    const size_t at = program.find(anchor);
    ASSERT_NE(at, std::string::npos);
    program.insert(at + anchor.size(), "://}}QUODEX_INDEXER_JOG\r\n");
    for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        CIndexerBench bench(program);
        ASSERT_TRUE(bench.started);
        const std::string before = SavedBytes(bench.Document());
        PutOnClipboard(PayloadXml("2"), EOffer::Mime);
        bench.h.answer = answer;
        EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_QUODEX));
        ASSERT_GE(bench.h.boxes.size(), 1u);
        EXPECT_TRUE(bench.h.boxes[0].startsWith("Warning: The code may not be imported correctly."));
        if (answer == QMessageBox::No) {
            EXPECT_EQ(bench.h.boxes.size(), 1u);
            EXPECT_EQ(SavedBytes(bench.Document()), before) << "No ends the import";
        } else {
            const std::vector<std::string> lines = BodyLines(bench.Document());
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "//{{QUODEX_INDEXER_JOG"), 1) << "Yes imports";
        }
    }
}

TEST(IndexerCommands, InformationDialogTurnsTheFlagOff) {
    for (bool tick : {false, true}) {
        CIndexerBench bench(BaseProgram(), true);
        ASSERT_TRUE(bench.started);
        PutOnClipboard(PayloadXml("2"), EOffer::Mime);
        bench.h.Frame().UpdateCommandStates();
        ASSERT_TRUE(bench.h.Frame().Action(ID_OPT_IMPORT_INFO)->isChecked());
        QString shown;
        test::WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CDlgImportInformation*>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            shown = dialog->TextView()->toPlainText();
            dialog->HideBox()->setChecked(tick);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_QUODEX));
        EXPECT_TRUE(shown.startsWith("Indexer code import\n")) << shown.toStdString();
        EXPECT_TRUE(shown.contains("IndexerLibrary")) << "the whole file is shown";
        bench.h.Frame().UpdateCommandStates();
        EXPECT_EQ(bench.h.Frame().Action(ID_OPT_IMPORT_INFO)->isChecked(), !tick);
        bench.h.Frame().SaveShellSettings();
        EXPECT_NE(bench.h.SettingsText().find(std::string("ShowQuodexImportInfoDlg=") + (tick ? "0" : "1")),
                  std::string::npos)
            << bench.h.SettingsText();
    }
}

TEST(IndexerCommands, AddFunctionBlockAsksForAValidName) {
    CIndexerBench bench(BaseProgram());
    ASSERT_TRUE(bench.started);
    CRUXDocument& document = bench.Document();
    const std::string before = SavedBytes(document);
    ASSERT_TRUE(bench.Enabled(ID_IMPORT_UDFB));

    QString preset;
    bool stayedOpen = false;
    test::WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgIndexerUDFB*>(modal);
        ASSERT_NE(dialog, nullptr);
        preset = dialog->NameEdit()->text();
        // A digit second is refused: the message, and the dialog stays for another try.
        dialog->NameEdit()->setText(QStringLiteral("_1Idx"));
        QTest::keyClick(dialog->NameEdit(), Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        dialog->NameEdit()->setText(QStringLiteral("_IdxMain"));
        QTest::keyClick(dialog->NameEdit(), Qt::Key_Return);
    });
    EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_UDFB));
    EXPECT_EQ(preset, "_FBIndexer");
    EXPECT_TRUE(stayedOpen);
    // The dialog's message goes through the editor's one message box, which the harness answers.
    ASSERT_EQ(bench.h.boxes.size(), 1u);
    EXPECT_EQ(bench.h.boxes[0].toStdString(),
              "Invalid or missing function block name. FB name should begin with an '_' character.");
    bench.h.boxes.clear();

    const CObArrayEx& items = document.Items();
    ASSERT_GE(items.GetSize(), 3);
    EXPECT_EQ(items.GetAt(1)->GetText(), "$INDEXROUTINE _IdxMain") << "the directive at the first line";
    EXPECT_EQ(items.GetAt(2)->GetText(), "");
    const std::vector<std::string> lines = BodyLines(document);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "(Output%) = _IdxMain (CurrentType%, CurrentItem%)"), 2)
        << "the block's header and footer";

    // A second time the directive is found: its line is selected and nothing is asked.
    EXPECT_TRUE(bench.h.Frame().RunCommand(ID_IMPORT_UDFB));
    ASSERT_EQ(bench.h.boxes.size(), 1u);
    EXPECT_EQ(bench.h.boxes[0], "The $INDEXROUTINE  directive is already used in the rux file");

    EXPECT_TRUE(bench.h.Frame().RunCommand(ID_EDIT_UNDO));
    EXPECT_EQ(SavedBytes(document), before) << "block and directive go in one step";
}

TEST(IndexerCommands, DisabledOnAReadOnlyProgram) {
    CIndexerBench bench(BaseProgram());
    ASSERT_TRUE(bench.started);
    struct {
        const char* name;
        bool readOnly;
        bool enabled;
    } cases[] = {{"editable", false, true}, {"read-only", true, false}, {"editable again", false, true}};
    for (const auto& c : cases) {
        bench.Document().SetReadOnly(c.readOnly);
        EXPECT_EQ(bench.Enabled(ID_IMPORT_QUODEX), c.enabled) << c.name;
        EXPECT_EQ(bench.Enabled(ID_IMPORT_UDFB), c.enabled) << c.name;
    }
}

TEST(SequencerClipboard, ReadsEitherNameAndItsByteOrder) {
    const auto bytes = [](const std::string& raw) { return QByteArray(raw.data(), qsizetype(raw.size())); };
    using namespace std::string_literals;
    struct {
        const char* format;
        std::string raw;
        std::optional<std::u16string> text;
    } cases[] = {
        {"application/x-quodex-sequencer-export", "<\0a\0\0\0"s, u"<a"s + u'\0'},
        {"QUODEX_SEQUENCER_EXPORT", "\xFF\xFE<\0\xAC\x20"s, u"<\u20AC"},
        {"QUODEX_SEQUENCER_EXPORT", "\xFE\xFF\0<"s, u"<"},
        {"application/x-tved1rux", "<\0a\0"s, std::nullopt},
        {"text/plain", "<a>"s, std::nullopt},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setData(QString::fromLatin1(c.format), bytes(c.raw));
        EXPECT_EQ(SequencerTextFrom(&data), c.text) << c.format;
    }
    EXPECT_EQ(SequencerTextFrom(nullptr), std::nullopt);

    // What the editor offers itself carries both names and reads back whole.
    std::unique_ptr<QMimeData> offered(MakeSequencerMimeData(u"<V>2</V>"));
    EXPECT_TRUE(offered->hasFormat("application/x-quodex-sequencer-export"));
    EXPECT_TRUE(offered->hasFormat("QUODEX_SEQUENCER_EXPORT"));
    EXPECT_EQ(SequencerTextFrom(offered.get()), u"<V>2</V>"s + u'\0');
}

} // namespace
} // namespace rux
