#include "editor/edit_script.h"

#include "document/diagram_item.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program_paths.h"
#include "editor/bookmarks.h"
#include "editor/find_replace.h"
#include "editor/go_to_line.h"
#include "editor/section_commands.h"
#include "target/product_directory.h"
#include "target/target_library.h"
#include "fileio/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace rux {
namespace {

bool ParseInts(const std::string& text, std::vector<int>& out, size_t count) {
    std::istringstream in(text);
    out.clear();
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(word.c_str(), &end, 10);
        if (*end || errno || value < -2147483647L || value > 2147483647L)
            return false;
        out.push_back(static_cast<int>(value));
    }
    return out.size() == count;
}

struct CKeySpec {
    EKey key = EKey::Enter;
    bool shift = false;
    bool ctrl = false;
};

bool ParseKey(std::string name, CKeySpec& chord) {
    chord = {};
    for (size_t plus = name.find('+'); plus != std::string::npos && plus + 1 < name.size(); plus = name.find('+')) {
        const std::string modifier = name.substr(0, plus);
        if (EqualsNoCase(modifier, "Shift"))
            chord.shift = true;
        else if (EqualsNoCase(modifier, "Ctrl"))
            chord.ctrl = true;
        else
            return false;
        name.erase(0, plus + 1);
    }
    static const std::pair<const char*, EKey> keys[] = {
        {"Enter", EKey::Enter},   {"Tab", EKey::Tab},       {"Backspace", EKey::Backspace},
        {"Delete", EKey::Delete}, {"Home", EKey::Home},     {"End", EKey::End},
        {"Left", EKey::Left},     {"Right", EKey::Right},   {"Up", EKey::Up},
        {"Down", EKey::Down},     {"PageUp", EKey::PageUp}, {"PageDown", EKey::PageDown},
        {"Insert", EKey::Insert},
    };
    for (const auto& k : keys)
        if (EqualsNoCase(name, k.first)) {
            chord.key = k.second;
            return true;
        }
    return false;
}

using CheckFn = std::function<std::string(const CScriptLine&)>;
using RunFn = std::function<bool(CEditScript&, const CScriptLine&)>;

struct CCommand {
    CheckFn check;
    RunFn run;
};

std::string NoArgs(const CScriptLine& l) { return l.rest.empty() ? "" : "takes no arguments"; }
std::string AnyText(const CScriptLine&) { return ""; }
std::string NeedText(const CScriptLine& l) { return l.rest.empty() ? "needs an argument" : ""; }
CheckFn Ints(size_t n) {
    return [n](const CScriptLine& l) {
        std::vector<int> v;
        return ParseInts(l.rest, v, n) ? "" : "needs " + std::to_string(n) + " whole numbers";
    };
}

const std::map<std::string, std::function<void(CEditSession&)>>& SessionCommands() {
    static const std::map<std::string, std::function<void(CEditSession&)>> commands = {
        {"undo", [](CEditSession& s) { s.Undo(); }},
        {"redo", [](CEditSession& s) { s.Redo(); }},
        {"cut", [](CEditSession& s) { s.Cut(); }},
        {"copy", [](CEditSession& s) { s.Copy(); }},
        {"paste", [](CEditSession& s) { s.Paste(); }},
        {"select-all", [](CEditSession& s) { s.SelectAll(); }},
        {"toggle-case", [](CEditSession& s) { s.ToggleCase(); }},
        {"increase-indent", [](CEditSession& s) { s.IncreaseIndent(); }},
        {"decrease-indent", [](CEditSession& s) { s.DecreaseIndent(); }},
        {"apply-indent", [](CEditSession& s) { s.ApplyIndent(); }},
        {"delete", [](CEditSession& s) { s.DeleteKey(); }},
        {"date", [](CEditSession& s) { s.InsertDateTime(); }},
    };
    return commands;
}

struct CAddedCommand {
    CEditScript::CheckFn check;
    CEditScript::RunFn run;
};
using AddedCommands = std::map<std::string, CAddedCommand>;

// Commands added by other parts, and the names they added to "cmd".
AddedCommands& AddedScriptCommands() {
    static AddedCommands commands;
    return commands;
}
AddedCommands& AddedCmdNames() {
    static AddedCommands commands;
    return commands;
}

// "cmd NAME ARGS": the added name and what follows it.
const CAddedCommand* FindAddedCmd(const std::string& rest, std::string& args) {
    const size_t blank = rest.find_first_of(" \t");
    const auto it = AddedCmdNames().find(rest.substr(0, blank));
    if (it == AddedCmdNames().end())
        return nullptr;
    const size_t start = blank == std::string::npos ? std::string::npos : rest.find_first_not_of(" \t", blank);
    args = start == std::string::npos ? std::string() : rest.substr(start);
    return &it->second;
}

bool ParseAnswer(const std::string& text, EAnswer& answer) {
    static const std::pair<const char*, EAnswer> answers[] = {
        {"yes", EAnswer::Yes}, {"no", EAnswer::No}, {"ok", EAnswer::Ok}, {"cancel", EAnswer::Cancel}};
    for (const auto& a : answers)
        if (text == a.first) {
            answer = a.second;
            return true;
        }
    return false;
}

std::string ProgramText(const CRUXDocument& document) {
    std::string text;
    CStringOstream out(text);
    int index = 0;
    for (const auto& item : document.Items())
        item->WriteText(index++, out, nullptr);
    return text;
}

// --- find, replace, go to line and bookmarks ----------------------------------------------------

// Arguments of the find commands: words separated by blanks; a word in double quotes may hold
// blanks and the escapes \t \n \\ \"; unquoted words starting with "--" are options.
struct CFindArgs {
    std::vector<std::string> texts;
    bool matchCase = false;
    bool up = false;
    bool restart = false;
};

std::string ParseFindArgs(const std::string& rest, size_t textCount, bool directions, CFindArgs& args) {
    args = {};
    size_t i = 0;
    while (true) {
        while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t'))
            ++i;
        if (i >= rest.size())
            break;
        std::string word;
        if (rest[i] == '"') {
            bool closed = false;
            for (++i; i < rest.size(); ++i) {
                const char c = rest[i];
                if (c == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (c == '\\' && i + 1 < rest.size()) {
                    const char next = rest[i + 1];
                    if (next == 't' || next == 'n' || next == '\\' || next == '"') {
                        word.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next);
                        ++i;
                        continue;
                    }
                }
                word.push_back(c);
            }
            if (!closed)
                return "a quoted text has no closing '\"'";
            if (i < rest.size() && rest[i] != ' ' && rest[i] != '\t')
                return "a quoted text must be followed by a blank";
            args.texts.push_back(word);
            continue;
        }
        while (i < rest.size() && rest[i] != ' ' && rest[i] != '\t')
            word.push_back(rest[i++]);
        if (word.rfind("--", 0) == 0) {
            if (word == "--case")
                args.matchCase = true;
            else if (directions && word == "--up")
                args.up = true;
            else if (directions && word == "--restart")
                args.restart = true;
            else
                return "unknown option '" + word + "'";
        } else {
            args.texts.push_back(word);
        }
    }
    if (args.texts.size() != textCount)
        return textCount == 1 ? "needs one text to find" : "needs a text to find and its replacement";
    if (args.texts[0].empty())
        return "the text to find is empty";
    return "";
}

CheckFn FindArgs(size_t textCount, bool directions) {
    return [textCount, directions](const CScriptLine& l) {
        CFindArgs args;
        return ParseFindArgs(l.rest, textCount, directions, args);
    };
}

// Sets the dialog as the user would before pressing a button: the options not given are off.
CFindReplaceModel& PrepareDialog(CEditScript& r, const CScriptLine& l, size_t textCount, bool directions) {
    CFindArgs args;
    ParseFindArgs(l.rest, textCount, directions, args);
    CFindReplaceModel& model = r.FindReplace();
    model.SetFindText(args.texts[0]);
    if (textCount > 1)
        model.SetReplaceText(args.texts[1]);
    model.SetMatchCase(args.matchCase);
    model.SetSearchDown(!args.up);
    model.SetRestartFromTop(args.restart);
    model.SetReplacePermission(r.Session().CanEdit());
    return model;
}

bool ShowResult(CEditScript& r, const CFindResult& result) {
    if (!result.message.empty())
        r.ShowMessage(result.message);
    return true;
}

// --- end of find, replace, go to line and bookmarks -------------------------------------------

const std::map<std::string, CCommand>& Commands() {
    static const std::map<std::string, CCommand> commands = {
        {"caret",
         {Ints(2),
          [](CEditScript& r, const CScriptLine& l) {
              std::vector<int> v;
              ParseInts(l.rest, v, 2);
              r.Session().SetCaret({v[1], v[0]});
              return true;
          }}},
        {"select",
         {Ints(4),
          [](CEditScript& r, const CScriptLine& l) {
              std::vector<int> v;
              ParseInts(l.rest, v, 4);
              r.Session().Select({v[1], v[0]}, {v[3], v[2]});
              return true;
          }}},
        {"type",
         {NeedText,
          [](CEditScript& r, const CScriptLine& l) {
              for (char c : UnescapeScriptText(l.rest)) {
                  if (c == '\t')
                      r.Session().KeyDown(EKey::Tab, false, false);
                  else if (c == '\n')
                      r.Session().KeyDown(EKey::Enter, false, false);
                  else
                      r.Session().TypeChar(c);
              }
              return true;
          }}},
        {"key",
         {[](const CScriptLine& l) {
              CKeySpec chord;
              return ParseKey(l.rest, chord) ? std::string() : "unknown key '" + l.rest + "'";
          },
          [](CEditScript& r, const CScriptLine& l) {
              CKeySpec chord;
              ParseKey(l.rest, chord);
              r.Session().KeyDown(chord.key, chord.shift, chord.ctrl);
              return true;
          }}},
        {"cmd",
         {[](const CScriptLine& l) {
              if (SessionCommands().count(l.rest))
                  return std::string();
              std::string args;
              if (const CAddedCommand* added = FindAddedCmd(l.rest, args))
                  return added->check(args);
              return "unknown command name '" + l.rest + "'";
          },
          [](CEditScript& r, const CScriptLine& l) {
              if (const auto it = SessionCommands().find(l.rest); it != SessionCommands().end()) {
                  it->second(r.Session());
                  return true;
              }
              std::string args;
              const CAddedCommand* added = FindAddedCmd(l.rest, args);
              return added && added->run(r, args);
          }}},
        {"answer",
         {[](const CScriptLine& l) {
              EAnswer answer;
              return ParseAnswer(l.rest, answer) ? std::string() : "needs yes, no, ok or cancel";
          },
          [](CEditScript& r, const CScriptLine& l) {
              EAnswer answer = EAnswer::Yes;
              ParseAnswer(l.rest, answer);
              r.QueueAnswer(answer);
              return true;
          }}},
        {"clip-text",
         {AnyText,
          [](CEditScript& r, const CScriptLine& l) {
              r.Clipboard().SetPlainTextOnly(UnescapeScriptText(l.rest));
              return true;
          }}},
        {"clip-file",
         {NeedText,
          [](CEditScript& r, const CScriptLine& l) {
              // A folder, FIFO or device is refused with its reason before anything reads it.
              const CFileBytes file = ReadWholeFile(l.rest);
              if (!file) {
                  std::fprintf(stderr, "rux: cannot read '%s': %s\n", l.rest.c_str(), file.reason.c_str());
                  return false;
              }
              r.Clipboard().SetFragmentOnly(file.bytes);
              return true;
          }}},
        {"show-clip",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              const auto fragment = r.Clipboard().GetFragment();
              const auto text = r.Clipboard().GetPlainText();
              r.Print(std::string(kPrivateClipboardFormat) + ": " + (fragment ? EscapeScriptText(*fragment) : "(none)") +
                      "\n");
              r.Print("TEXT: " + (text ? EscapeScriptText(*text) : std::string("(none)")) + "\n");
              return true;
          }}},
        {"view",
         {[](const CScriptLine& l) {
              std::vector<int> v;
              return ParseInts(l.rest, v, 1) && v[0] >= 1 ? "" : "needs a view number from 1";
          },
          [](CEditScript& r, const CScriptLine& l) {
              std::vector<int> v;
              ParseInts(l.rest, v, 1);
              return r.SwitchView(v[0]);
          }}},
        {"status",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              const CEditSession& s = r.Session();
              std::string line = s.PositionText();
              if (s.HasSelection())
                  line += " Sel " + std::to_string(s.Anchor().item) + "," + std::to_string(s.Anchor().col) + "-" +
                          std::to_string(s.SelectionEnd().item) + "," + std::to_string(s.SelectionEnd().col);
              r.Print(line + "\n");
              return true;
          }}},
        {"print",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              r.Print(ProgramText(r.Document()));
              return true;
          }}},
        // Sections and program elements.
        {"fold", {NoArgs, [](CEditScript& r, const CScriptLine&) { return ToggleFold(r.Session()), true; }}},
        {"expand-all", {NoArgs, [](CEditScript& r, const CScriptLine&) { return ExpandAll(r.Session()), true; }}},
        {"minimize-all",
         {NoArgs, [](CEditScript& r, const CScriptLine&) { return MinimizeAll(r.Session()), true; }}},
        {"insert-section",
         {NeedText,
          [](CEditScript& r, const CScriptLine& l) {
              InsertSection(r.Session(), l.rest, ProductDirectory());
              return true;
          }}},
        {"insert-notes",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              InsertSection(r.Session(), "Notes", ProductDirectory());
              return true;
          }}},
        {"insert-alias",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              InsertSection(r.Session(), "Alias", ProductDirectory());
              return true;
          }}},
        {"insert-udfb",
         {NeedText,
          [](CEditScript& r, const CScriptLine& l) {
              // The header text stands for what the function block editor returns.
              struct CGiven final : CFunctionBlockEditor {
                  std::string text;
                  bool Edit(std::string& header, int, int, int) override {
                      header = text;
                      return true;
                  }
              } editor;
              editor.text = l.rest;
              CNoTargetLibrary target;
              InsertUserFunctionBlock(r.Session(), editor, r.Target() ? *r.Target() : target, ProductDirectory());
              return true;
          }}},
        {"insert-diagram",
         {[](const CScriptLine& l) {
              return l.rest == "fbd" || l.rest == "qld" ? std::string() : "needs fbd or qld";
          },
          [](CEditScript& r, const CScriptLine& l) {
              InsertDiagram(r.Session(), l.rest == "qld" ? kDiagramQld : kDiagramFbd);
              return true;
          }}},
        {"insert-text",
         {NeedText,
          [](CEditScript& r, const CScriptLine& l) {
              r.Session().InsertText(UnescapeScriptText(l.rest));
              return true;
          }}},
        {"save",
         {AnyText,
          [](CEditScript& r, const CScriptLine& l) { return r.SaveTo(l.rest.empty() ? r.Path() : l.rest); }}},
        // Find, replace, go to line and bookmarks.
        {"find",
         {FindArgs(1, true),
          [](CEditScript& r, const CScriptLine& l) {
              return ShowResult(r, FindNext(r.Session(), PrepareDialog(r, l, 1, true)));
          }}},
        {"replace",
         {FindArgs(2, true),
          [](CEditScript& r, const CScriptLine& l) {
              return ShowResult(r, Replace(r.Session(), PrepareDialog(r, l, 2, true)));
          }}},
        {"replace-all",
         {FindArgs(2, false),
          [](CEditScript& r, const CScriptLine& l) {
              return ShowResult(r, ReplaceAll(r.Session(), PrepareDialog(r, l, 2, false)));
          }}},
        {"goto",
         {Ints(1),
          [](CEditScript& r, const CScriptLine& l) {
              std::vector<int> v;
              ParseInts(l.rest, v, 1);
              GoToLine(r.Session(), v[0]);
              return true;
          }}},
        {"bookmark",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              ToggleBookmark(r.Session());
              return true;
          }}},
        {"next-bookmark",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              GoToNextMark(r.Session(), kMarkBookmark);
              return true;
          }}},
        {"clear-bookmarks",
         {NoArgs,
          [](CEditScript& r, const CScriptLine&) {
              RemoveAllBookmarks(r.Session());
              return true;
          }}},
    };
    return commands;
}

} // namespace

std::string UnescapeScriptText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 't' || next == 'n' || next == '\\') {
                out.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : '\\');
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string EscapeScriptText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out.push_back(c);
    }
    return out;
}

std::string EscapeBoxText(std::string_view text) {
    // A box breaks its line once at a CR LF pair, as at a lone LF.
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines.push_back(text[i]);
    }
    return EscapeScriptText(lines);
}

CEditScript::CEditScript() : m_output([](const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }) {}
CEditScript::~CEditScript() = default;

CScriptLine CEditScript::Parse(const std::string& text, const std::string& origin) {
    CScriptLine line;
    line.origin = origin;
    const size_t start = text.find_first_not_of(" \t");
    const std::string body = start == std::string::npos ? std::string() : text.substr(start);
    const size_t blank = body.find_first_of(" \t");
    line.name = body.substr(0, blank);
    line.rest = blank == std::string::npos ? "" : body.substr(blank + 1);
    // Trailing blanks are kept only where they are text.
    if (line.name != "type" && line.name != "clip-text" && line.name != "insert-text")
        while (!line.rest.empty() && (line.rest.back() == ' ' || line.rest.back() == '\t' || line.rest.back() == '\r'))
            line.rest.pop_back();
    return line;
}

bool CEditScript::ReadScript(const std::string& path, std::vector<CScriptLine>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#')
            continue;
        lines.push_back(Parse(text, path + ":" + std::to_string(number)));
    }
    return true;
}

std::string CEditScript::Check(const CScriptLine& line) {
    const auto it = Commands().find(line.name);
    if (it != Commands().end())
        return it->second.check(line);
    if (const auto added = AddedScriptCommands().find(line.name); added != AddedScriptCommands().end())
        return added->second.check(line.rest);
    return "unknown command '" + line.name + "'";
}

void CEditScript::AddCommand(const std::string& name, CheckFn check, RunFn run) {
    if (!Commands().count(name))
        AddedScriptCommands().emplace(name, CAddedCommand{std::move(check), std::move(run)});
}

void CEditScript::AddCmd(const std::string& name, CheckFn check, RunFn run) {
    if (!SessionCommands().count(name))
        AddedCmdNames().emplace(name, CAddedCommand{std::move(check), std::move(run)});
}

EAnswer CEditScript::Ask(const std::string& text, bool okCancel) {
    EAnswer answer = okCancel ? EAnswer::Ok : EAnswer::Yes;
    if (!m_answers.empty()) {
        const bool positive = m_answers.front() == EAnswer::Yes || m_answers.front() == EAnswer::Ok;
        m_answers.pop_front();
        answer = okCancel ? (positive ? EAnswer::Ok : EAnswer::Cancel) : (positive ? EAnswer::Yes : EAnswer::No);
    }
    static const char* const names[] = {"Yes", "No", "OK", "Cancel"};
    Print("? " + EscapeBoxText(text) + " -> " + names[static_cast<int>(answer)] + "\n");
    return answer;
}

bool CEditScript::Open(const std::string& path, const CEditSettings& settings, bool readOnly,
                       const CDocumentServices& services) {
    m_path = path;
    m_services.target = services.target;
    m_services.notifier = services.notifier;
    m_document.SetServices(services);
    if (!m_document.OpenDocument(DocumentPathOf(path)))
        return false;
    // The text view edits program files only; anything else is shown read-only.
    const bool programName = path.size() >= 4 && EqualsNoCase(std::string_view(path).substr(path.size() - 4), ".rux");
    m_document.SetReadOnly(readOnly || !programName);
    m_settings = settings;
    m_views.clear();
    m_session = nullptr;
    m_view = 0;
    return SwitchView(1);
}

bool CEditScript::SwitchView(int number) {
    if (number < 1 || m_path.empty())
        return false;
    auto& view = m_views[number];
    if (!view) {
        view = std::make_unique<CView>();
        view->metrics.SetTabSize(m_settings.tabSize);
        view->session = std::make_unique<CEditSession>(m_document, view->metrics, m_clipboard, m_overwrite);
        view->session->Settings() = m_settings;
        view->session->SetCaret({1, 0});
    }
    m_view = number;
    m_session = view->session.get();
    return true;
}

bool CEditScript::Run(const CScriptLine& line) {
    if (const auto it = Commands().find(line.name); it != Commands().end())
        return it->second.run(*this, line);
    const auto added = AddedScriptCommands().find(line.name);
    return added != AddedScriptCommands().end() && added->second.run(*this, line.rest);
}

bool CEditScript::SaveTo(const std::string& path) {
    std::fflush(stdout);
    // The program's own file is saved as the editor saves its document (nothing to write when it
    // is unchanged); any other path gets the program written to it as a changed one would be.
    std::string reason;
    bool ok;
    if (path == m_path) {
        ok = m_document.SaveDocument();
        reason = m_document.SaveError();
    } else {
        const CWriteResult result = SaveProgramFile(m_document.Program(), DocumentPathOf(path), m_services);
        ok = result.ok;
        reason = result.reason;
    }
    if (!ok) std::fprintf(stderr, "rux: cannot write '%s': %s\n", path.c_str(), reason.c_str());
    return ok;
}

void CEditScript::ShowMessage(const std::string& text) const { Print(EscapeBoxText(text) + "\n"); }

} // namespace rux
