#include "import/indexer_script_commands.h"

#include "document/line_input.h"
#include "editor/edit_script.h"
#include "import/indexer_fb_form.h"
#include "import/indexer_import.h"
#include "import/sequencer_clipboard_format.h"
#include "import/utf16_text.h"
#include "shell/ini_file.h"
#include "shell/product_paths.h"
#include "shell/shell_settings.h"
#include "target/library_service.h"
#include "fileio/whole_file.h"

#include <cstdio>

namespace rux {
namespace {

// A payload file as the sequencing tool's text: UTF-16 after its byte-order mark, else UTF-8.
std::u16string PayloadText(const std::string& bytes) {
    const auto starts = [&bytes](const char* mark, size_t n) {
        return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0;
    };
    if (starts("\xFF\xFE", 2)) return Utf16FromLittleEndian(std::string_view(bytes).substr(2));
    if (starts("\xFE\xFF", 2)) return Utf16FromBigEndian(std::string_view(bytes).substr(2));
    if (starts("\xEF\xBB\xBF", 3)) return Utf8ToUtf16(std::string_view(bytes).substr(3));
    return Utf8ToUtf16(bytes);
}

class CScriptClipboardSource final : public CSequencerSource {
public:
    explicit CScriptClipboardSource(const CMemoryClipboard& clipboard) : m_clipboard(clipboard) {}
    std::optional<std::u16string> GetSequencerText() override {
        const std::optional<std::string> bytes = m_clipboard.GetFormat(kSequencerClipboardFormat);
        if (!bytes) return std::nullopt;
        return Utf16FromLittleEndian(*bytes);
    }

private:
    const CMemoryClipboard& m_clipboard;
};

// Boxes become printed lines; the name dialog takes the name the command was given once, and is
// cancelled when it comes up again (a script cannot type a second name).
class CScriptPrompts final : public CIndexerPrompts {
public:
    CScriptPrompts(CEditScript& script, std::string name) : m_script(script), m_name(std::move(name)) {}

    void ShowMessage(const std::string& text) override { m_script.ShowMessage(text); }
    bool AskYesNo(const std::string& text) override { return m_script.Ask(text, false) == EAnswer::Yes; }
    bool ShowImportInformation(const std::string& text) override {
        m_script.ShowMessage(text);
        return false;
    }
    bool AskFunctionBlockName(CIndexerUDFBForm& form) override {
        if (m_asked) return false;
        m_asked = true;
        if (!m_name.empty()) form.SetName(m_name);
        if (const std::string problem = form.OnOk(); !problem.empty()) {
            m_script.ShowMessage(problem);
            return false;
        }
        return true;
    }

private:
    CEditScript& m_script;
    std::string m_name;
    bool m_asked = false;
};

std::string NoArgs(const std::string& args) {
    return args.empty() ? "" : "takes no arguments";
}

} // namespace

void AddIndexerScriptCommands() {
    CEditScript::AddCommand(
        "clip-sequencer", [](const std::string& args) { return args.empty() ? "needs a file" : ""; },
        [](CEditScript& r, const std::string& path) {
            // A folder, FIFO or device is refused with its reason before anything reads it.
            const CFileBytes file = ReadWholeFile(path);
            if (!file) {
                std::fprintf(stderr, "rux: cannot read '%s': %s\n", path.c_str(), file.reason.c_str());
                return false;
            }
            r.Clipboard().SetFormatOnly(kSequencerClipboardFormat,
                                        Utf16ToLittleEndianZ(PayloadText(file.bytes)));
            return true;
        });
    CEditScript::AddCmd("import-indexer", NoArgs, [](CEditScript& r, const std::string&) {
        CSequencerClipboardFormat blocks;
        CScriptClipboardSource source(r.Clipboard());
        blocks.Read(source);
        CScriptPrompts prompts(r, {});
        CH2LibraryService libraries;
        const CShellSettings shell = CShellSettings::Load(CIniFile::ProductSettings());
        bool showInformation = shell.showImportInfo != 0;
        CIndexerImportSettings settings{&showInformation, CProductPaths::ProductDir()};
        ImportIndexerCode(r.Session(), blocks, prompts, libraries, settings);
        return true;
    });
    CEditScript::AddCmd(
        "add-indexer-fb",
        [](const std::string& args) {
            return args.find_first_of(" \t") == std::string::npos ? "" : "takes at most one name";
        },
        [](CEditScript& r, const std::string& name) {
            CScriptPrompts prompts(r, name);
            AddIndexerFunctionBlock(r.Session(), prompts, CProductPaths::ProductDir());
            return true;
        });
}

} // namespace rux
