// The help topics of the editor's dialogs: a topic name, its help context and its page.
#pragma once

#include <string>
#include <string_view>

namespace rux {

// The topics of the look settings' dialogs (the indexer's name dialog has kIndexerFbHelpTopic).
inline constexpr const char* kColorsHelpTopic = "Defining_the_Colors_of_Program_Elements";
inline constexpr const char* kTabStopsHelpTopic = "Defining_Tab_Stops";

// Help/Topics/Topics.ini holds section "Topics" with one key per topic name, whose value is the
// topic's help context (decimal). A dialog with a dialog id has the context 0x20000 + its id; a
// dialog without one takes a number from 0x28000 upwards. The page of a topic is
// Help/Topics/<topic name>.html. The editor turns a topic into its context and hands that to the
// help library, which finds the page through the same file.
class CHelpTopics {
public:
    static constexpr int kDialogContextBase = 0x20000;
    // A message box whose text is a numbered prompt has the help context 0x30000 + that number.
    static constexpr int kPromptContextBase = 0x30000;
    static constexpr int PromptContext(int promptId) { return promptId > 0 ? kPromptContextBase + promptId : 0; }
    static constexpr const char* kFolder = "Topics";
    static constexpr const char* kMapFile = "Topics.ini";
    static constexpr const char* kSection = "Topics";

    explicit CHelpTopics(std::string helpDir) : m_helpDir(std::move(helpDir)) {}

    // The context of a topic; 0 when the map does not list it (or lists no positive number).
    int ContextOf(std::string_view topic) const;
    // Help/Topics/<topic>.html under the help directory; empty for an empty topic or one with a
    // path separator (a topic names a page, never a place).
    std::string PageOf(std::string_view topic) const;

private:
    std::string m_helpDir;
};

} // namespace rux
