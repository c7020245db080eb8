// Feeds arbitrary bytes, as UTF-16 code units, to the sequencer clipboard reader and shapes every
// block it finds.
#include "import/sequencer_clipboard_format.h"
#include "import/utf16_text.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rux::CSequencerClipboardFormat format;
    format.ReadPayload(rux::Utf16FromLittleEndian(bytes));
    // The same bytes as a UTF-8 file that a script would put on the clipboard.
    rux::CSequencerClipboardFormat fromText;
    fromText.ReadPayload(rux::Utf8ToUtf16(bytes));
    for (const auto* blocks : {&format, &fromText})
        for (const auto& [key, text] : blocks->Blocks()) {
            std::vector<std::string> lines;
            blocks->BlockLines(key, lines);
            auto items = rux::LinesToItems(lines);
            uint32_t counter = 1;
            rux::CSequencerClipboardFormat::Routine(key + " ()", items, counter, true);
            rux::CSequencerClipboardFormat::Wrap(key, items);
        }
    return 0;
}
