// The blocks of the sequencing tool's export that the indexer tests start from, by tag name.
#pragma once

#include <map>
#include <string>

namespace rux::test {

// An alias, a jog subroutine, initial and background code and the two task comments; the blocks of
// `extra` replace or add to them. The version is the caller's.
inline std::map<std::string, std::string> IndexerPayloadBlocks(const std::map<std::string, std::string>& extra = {}) {
    std::map<std::string, std::string> blocks = {
        {"ALIAS", "$DEFINE IDX_POS #19.01"},
        {"JOG_SUBROUTINE_NAME", "IdxJog"},
        {"JOG", "#1.21 = 100"},
        {"INITIAL", "Step% = 0"},
        {"BACKGROUND", "(Done%) = _IdxMoveTo(Target%, 50)\nIF Done% THEN Step% = 1"},
        {"INITIAL_TASK", "// start the indexer"},
        {"BACKGROUND_TASK", "// run the indexer"},
    };
    for (const auto& [key, value] : extra)
        blocks[key] = value;
    return blocks;
}

} // namespace rux::test
