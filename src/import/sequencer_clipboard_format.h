// The sequencing tool's clipboard export: its blocks by key, and each block shaped into program lines.
#pragma once

#include "document/item.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

// Name of the private clipboard format the sequencing tool writes.
inline constexpr const char* kSequencerClipboardFormat = "QUODEX_SEQUENCER_EXPORT";
// Its name as a MIME type, for clipboards that speak MIME.
inline constexpr const char* kSequencerClipboardMime = "application/x-quodex-sequencer-export";

// Where the payload comes from: the platform clipboard in the editor, a file in a script.
class CSequencerSource {
public:
    virtual ~CSequencerSource() = default;
    // The UTF-16 text of the private format (up to its terminating zero), or nothing.
    virtual std::optional<std::u16string> GetSequencerText() = 0;
};

class CSequencerClipboardFormat {
public:
    using ItemList = std::vector<std::unique_ptr<CItem>>;

    CSequencerClipboardFormat() = default;

    // Empties the map and fills it from the source; nothing (or an empty or unparsable text)
    // leaves it empty.
    void Read(CSequencerSource& source);
    // The same from the payload text itself.
    void ReadPayload(std::u16string_view text);

    bool IsEmpty() const { return m_blocks.empty(); }
    const std::map<std::string, std::string>& Blocks() const { return m_blocks; }
    void SetValue(const std::string& key, std::string text) { m_blocks[key] = std::move(text); }
    // The key's text, empty when absent.
    std::string Value(const std::string& key) const;

    // Appends the shaped block (notice, checksum, the text's lines, checksum) and returns true when
    // the key's text is not empty; otherwise leaves the list alone and returns false.
    bool BlockLines(const std::string& key, std::vector<std::string>& lines) const;
    // Surrounds the list with an empty line and the key's start marker before it, and the end
    // marker and an empty line after it.
    static void Wrap(const std::string& key, ItemList& items);
    // Turns the list into a section of its own: header (numbered from the counter, expanded),
    // for a function block an empty line and "FBbody", the lines, the footer.
    static void Routine(const std::string& title, ItemList& items, uint32_t& sectionCounter,
                        bool functionBlock);

    static std::string StartMarker(const std::string& key) { return "//{{QUODEX_INDEXER_" + key; }
    static std::string EndMarker(const std::string& key) { return "//}}QUODEX_INDEXER_" + key; }

private:
    std::map<std::string, std::string> m_blocks;
};

// Text lines as items, bound to no section.
CSequencerClipboardFormat::ItemList LinesToItems(const std::vector<std::string>& lines);

} // namespace rux
