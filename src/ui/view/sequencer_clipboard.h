// The sequencing tool's export on the desktop clipboard: its UTF-16 payload under the MIME type or,
// from an X11 client, under the bare target name.
#pragma once

#include "import/sequencer_clipboard_format.h"

#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace rux {

// The payload a clipboard or a drop carries, or nothing when it has neither format.
std::optional<std::u16string> SequencerTextFrom(const QMimeData* data);
// The payload offered under both names, zero-terminated as the sequencing tool writes it.
QMimeData* MakeSequencerMimeData(std::u16string_view text);

class CQtSequencerSource final : public CSequencerSource {
public:
    std::optional<std::u16string> GetSequencerText() override;
};

} // namespace rux
