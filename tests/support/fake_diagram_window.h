// A diagram window for the tests: it answers from its fields and records the searches it is asked for.
#pragma once

#include "document/diagram_item.h"

#include <string>
#include <vector>

namespace rux::test {

struct CFakeDiagramWindow final : CDiagramEditorLink {
    bool modified = false;
    std::string selected; // the selected element's text, which the prefix commands edit
    int replaced = 0;     // what Replace All reports
    int hits = 0;         // Find Next succeeds this many times, then finds nothing
    std::vector<std::string> asked;

    bool IsModified() const override { return modified; }
    void Activate() override {}
    std::string GetSelectedElementText() const override { return selected; }
    bool AddPrefix(const std::string& prefix) override {
        if (selected.rfind('#', 0) != 0) return false;
        selected = prefix + selected;
        return true;
    }
    bool RemovePrefix(const std::string& prefix) override {
        if (selected.rfind(prefix + "#", 0) != 0) return false;
        selected.erase(0, prefix.size());
        return true;
    }
    int ReplaceAll(std::string_view, std::string_view, bool) override { return replaced; }
    bool FindText(std::string_view text, bool matchCase, bool down) override {
        asked.push_back(std::string(text) + (matchCase ? " case" : "") + (down ? " down" : " up"));
        return hits-- > 0;
    }
};

} // namespace rux::test
