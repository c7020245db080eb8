// What the Find/Replace dialog holds between searches: texts, histories, options and buttons.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rux {

enum class EFindButton { None, FindNext, Replace, ReplaceAll };

// The state behind the one modeless Find/Replace dialog of a main frame (`RUX_CDlgFindReplace`
// wraps it on screen). It outlives every hide and show, so texts, options and histories persist.
class CFindReplaceModel {
public:
    static constexpr size_t kHistoryLimit = 20;

    const std::string& FindText() const { return m_findText; }
    void SetFindText(std::string text) { m_findText = std::move(text); }
    const std::string& ReplaceText() const { return m_replaceText; }
    void SetReplaceText(std::string text) { m_replaceText = std::move(text); }

    // Newest first.
    const std::vector<std::string>& FindHistory() const { return m_findHistory; }
    const std::vector<std::string>& ReplaceHistory() const { return m_replaceHistory; }
    // Called when a search starts; the replace text only for Replace and Replace All.
    void RememberFindText() { Remember(m_findHistory, m_findText); }
    void RememberReplaceText() { Remember(m_replaceHistory, m_replaceText); }

    bool MatchCase() const { return m_matchCase; }
    void SetMatchCase(bool on) { m_matchCase = on; }
    // The second check box. Its caption promises whole words, but no search compares whole words:
    // its one effect is that a search that found nothing starts once more from item 1.
    bool RestartFromTop() const { return m_restartFromTop; }
    void SetRestartFromTop(bool on) { m_restartFromTop = on; }
    bool SearchDown() const { return m_searchDown; }
    void SetSearchDown(bool on) { m_searchDown = on; }

    EFindButton LastButton() const { return m_lastButton; }
    void SetLastButton(EFindButton button) { m_lastButton = button; }

    // Replacements counted since Replace All was last pressed; Replace adds its single ones.
    long ReplaceCount() const { return m_replaceCount; }
    void ResetReplaceCount() { m_replaceCount = 0; }
    void AddReplaceCount(long count) { m_replaceCount += count; }

    // Whether the active view lets the dialog change the program (not read-only, not online).
    bool ReplacePermission() const { return m_replacePermission; }
    void SetReplacePermission(bool on) { m_replacePermission = on; }

    // Enable states of the buttons.
    bool CanFindNext() const { return !m_findText.empty(); }
    bool CanReplace() const { return m_replacePermission; }
    bool CanReplaceAll() const { return m_replacePermission; }

private:
    static void Remember(std::vector<std::string>& history, const std::string& text);

    std::string m_findText;
    std::string m_replaceText;
    std::vector<std::string> m_findHistory;
    std::vector<std::string> m_replaceHistory;
    bool m_matchCase = false;
    bool m_restartFromTop = false;
    bool m_searchDown = true;
    bool m_replacePermission = true;
    EFindButton m_lastButton = EFindButton::None;
    long m_replaceCount = 0;
};

} // namespace rux
