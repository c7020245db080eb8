// Editing commands from a script, run on one edit session: batch edits for users and the way
// editing behaviour is tested without a window.
#pragma once

#include "document/program_file.h"
#include "document/rux_document.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "editor/find_replace_model.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rux {

struct CScriptLine {
    std::string origin; // "-e 2" or "script.txt:4", for messages
    std::string name;
    std::string rest; // everything after the command name and one blank
};

// The buttons of a message box that asks.
enum class EAnswer { Yes, No, Ok, Cancel };

// One document, one private clipboard, and views on it: each view an edit session on its own
// fixed-pitch metrics (640 x 480). Commands go to the current view; "view N" switches.
class CEditScript {
public:
    CEditScript();
    ~CEditScript();
    CEditScript(const CEditScript&) = delete;
    CEditScript& operator=(const CEditScript&) = delete;

    // Splits "name rest" into a script line.
    static CScriptLine Parse(const std::string& text, const std::string& origin);
    // Reads a script file: one command a line; blank lines and lines starting with "#" are skipped.
    static bool ReadScript(const std::string& path, std::vector<CScriptLine>& lines);
    // Empty when the line is a known command with good arguments; otherwise what is wrong.
    static std::string Check(const CScriptLine& line);

    // Loads the program; the view's rules decide whether it is read-only.
    // Opens the program as the editor opens a document (the services may be empty).
    bool Open(const std::string& path, const CEditSettings& settings, bool readOnly,
              const CDocumentServices& services);
    // Runs one checked command; false when it failed (a message went to stderr).
    bool Run(const CScriptLine& line);

    CRUXDocument& Document() { return m_document; }
    // The current view's session.
    CEditSession& Session() { return *m_session; }
    // Makes view `number` (from 1) current, opening it with the caret at the start when it is new.
    // False for a number below 1 or when no program is open.
    bool SwitchView(int number);
    int CurrentView() const { return m_view; }
    size_t ViewCount() const { return m_views.size(); }
    CMemoryClipboard& Clipboard() { return m_clipboard; }
    // One Find/Replace dialog for the whole script, as the editor has one per main frame.
    CFindReplaceModel& FindReplace() { return m_findReplace; }
    const std::string& Path() const { return m_path; }
    // The target library of the services the program was opened with, if any.
    CTargetLibrary* Target() const { return m_services.target; }
    // What the commands printed.
    void SetOutput(std::function<void(const std::string&)> output) { m_output = std::move(output); }
    void Print(const std::string& text) const { m_output(text); }
    bool SaveTo(const std::string& path);
    // Messages the editor would show in a box are printed, one line each, new lines as "\n".
    void ShowMessage(const std::string& text) const;
    // A question box: the next queued answer, else the default button (Yes, OK), printed as
    // "? TEXT -> Yes". Queued "ok"/"cancel" press Yes/No of a Yes/No box and the other way round.
    EAnswer Ask(const std::string& text, bool okCancel);
    void QueueAnswer(EAnswer answer) { m_answers.push_back(answer); }

    // Commands that other parts of the editor add to the script language: a command of its own,
    // or a name for "cmd NAME [ARGS]". The check sees everything after the name; adding a name
    // twice keeps the first.
    using CheckFn = std::function<std::string(const std::string& args)>;
    using RunFn = std::function<bool(CEditScript&, const std::string& args)>;
    static void AddCommand(const std::string& name, CheckFn check, RunFn run);
    static void AddCmd(const std::string& name, CheckFn check, RunFn run);

private:
    CRUXDocument m_document;
    struct CView {
        CFixedPitchMetrics metrics{640, 480, 2};
        std::unique_ptr<CEditSession> session;
    };
    CMemoryClipboard m_clipboard;
    bool m_overwrite = false;
    CEditSettings m_settings;
    // Views by number, each laid out for itself.
    std::map<int, std::unique_ptr<CView>> m_views;
    int m_view = 0;
    CEditSession* m_session = nullptr;
    CFindReplaceModel m_findReplace;
    CProgramFileServices m_services;
    std::string m_path;
    std::function<void(const std::string&)> m_output;
    std::deque<EAnswer> m_answers;
};

// "\t", "\n" and "\\" as the characters they stand for. Escaping also writes CR as "\r", so that
// printed bytes are never ambiguous.
std::string UnescapeScriptText(const std::string& text);
std::string EscapeScriptText(std::string_view text);
// The text of a message box or question as printed: a CR LF pair is one new line, written as \n.
std::string EscapeBoxText(std::string_view text);

} // namespace rux
