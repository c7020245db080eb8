#include "editor/edit_script.h"
#include "support/edit_harness.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

// A command that asks two questions, one of each kind, and prints what it was told.
void AddAskingCommand() {
    CEditScript::AddCmd(
        "test-ask", [](const std::string& args) { return args.empty() ? "" : "takes no arguments"; },
        [](CEditScript& r, const std::string&) {
            const EAnswer first = r.Ask("Go on?\nReally", false);
            const EAnswer second = r.Ask("Save", true);
            r.Print(std::string(first == EAnswer::Yes ? "yes" : "no") + "," +
                    (second == EAnswer::Ok ? "ok" : "cancel") + "\n");
            return true;
        });
    CEditScript::AddCommand(
        "test-echo", [](const std::string& args) { return args.empty() ? "needs a text" : ""; },
        [](CEditScript& r, const std::string& args) {
            r.Print("[" + args + "]\n");
            return true;
        });
}

TEST(EditScriptQuestions, AnswersComeFromTheQueueThenTheDefault) {
    AddAskingCommand();
    struct {
        std::vector<std::string> commands;
        std::string output;
    } cases[] = {
        {{"cmd test-ask"}, "? Go on?\\nReally -> Yes\n? Save -> OK\nyes,ok\n"},
        {{"answer no", "answer cancel", "cmd test-ask"},
         "? Go on?\\nReally -> No\n? Save -> Cancel\nno,cancel\n"},
        {{"answer ok", "answer no", "cmd test-ask"},
         "? Go on?\\nReally -> Yes\n? Save -> Cancel\nyes,cancel\n"},
        {{"answer cancel", "cmd test-ask", "cmd test-ask"},
         "? Go on?\\nReally -> No\n? Save -> OK\nno,ok\n? Go on?\\nReally -> Yes\n? Save -> OK\nyes,ok\n"},
        {{"test-echo a  b"}, "[a  b]\n"},
    };
    for (const auto& c : cases) {
        const auto run = test::RunScript(test::ProgramBytes({"x"}), c.commands);
        EXPECT_EQ(run.output, c.output) << c.commands.back();
    }
}

// Every command's arguments are checked before it runs, those of added commands as well.
TEST(EditScript, CommandsCheckTheirArguments) {
    AddAskingCommand();
    struct {
        const char* command;
        const char* problem;
    } cases[] = {
        {"find abc", ""},
        {"find \"a b\" --case --up --restart", ""},
        {"find", "needs one text to find"},
        {"find a b", "needs one text to find"},
        {"find \"\"", "the text to find is empty"},
        {"find \"abc", "a quoted text has no closing '\"'"},
        {"find \"a\"b", "a quoted text must be followed by a blank"},
        {"find a --whole", "unknown option '--whole'"},
        {"find \"--case\"", ""},
        {"replace a", "needs a text to find and its replacement"},
        {"replace a \"\" --up", ""},
        {"replace-all a b --up", "unknown option '--up'"},
        {"replace-all a b --case", ""},
        {"goto", "needs 1 whole numbers"},
        {"goto -4", ""},
        {"bookmark 1", "takes no arguments"},
        {"next-bookmark", ""},
        {"clear-bookmarks", ""},
        {"answer yes", ""},
        {"answer Yes", "needs yes, no, ok or cancel"},
        {"answer", "needs yes, no, ok or cancel"},
        {"cmd test-ask", ""},
        {"cmd test-ask now", "takes no arguments"},
        {"cmd test-asks", "unknown command name 'test-asks'"},
        {"test-echo", "needs a text"},
        {"test-echoes x", "unknown command 'test-echoes'"},
    };
    const auto check = [](const std::string& text) {
        return CEditScript::Check(CEditScript::Parse(text, "t"));
    };
    for (const auto& c : cases)
        EXPECT_EQ(check(c.command), c.problem) << c.command;
    // A built-in name cannot be taken over.
    CEditScript::AddCmd(
        "undo", [](const std::string&) { return "never"; },
        [](CEditScript&, const std::string&) { return false; });
    CEditScript::AddCommand(
        "status", [](const std::string&) { return "never"; },
        [](CEditScript&, const std::string&) { return false; });
    EXPECT_EQ(check("cmd undo"), "");
    EXPECT_EQ(check("status"), "");
}

// A box's text as printed: a CR LF pair is one new line; a lone CR stays visible as "\r".
TEST(EditScriptQuestions, BoxTextsPrintEachLineBreakOnce) {
    struct {
        const char* text;
        const char* printed;
    } cases[] = {
        {"Import\r\n\r\nDone\r\n", "Import\\n\\nDone\\n"},
        {"a\nb", "a\\nb"},
        {"a\rb\r", "a\\rb\\r"},
        {"a\r\r\nb", "a\\r\\nb"},
        {"tab\there \\ \r\n", "tab\\there \\\\ \\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeBoxText(c.text), c.printed) << c.text;
        std::string out;
        CEditScript script;
        script.SetOutput([&out](const std::string& text) { out += text; });
        script.ShowMessage(c.text);
        script.Ask(c.text, true);
        EXPECT_EQ(out, std::string(c.printed) + "\n? " + c.printed + " -> OK\n") << c.text;
    }
}

} // namespace
} // namespace rux
