#include "view/sequencer_clipboard.h"

#include "import/utf16_text.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace rux {

std::optional<std::u16string> SequencerTextFrom(const QMimeData* data) {
    if (!data) return std::nullopt;
    for (const char* format : {kSequencerClipboardMime, kSequencerClipboardFormat}) {
        const QString name = QString::fromLatin1(format);
        if (!data->hasFormat(name)) continue;
        const QByteArray bytes = data->data(name);
        return Utf16FromClipboardBytes(
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    return std::nullopt;
}

QMimeData* MakeSequencerMimeData(std::u16string_view text) {
    const std::string bytes = Utf16ToLittleEndianZ(text);
    const QByteArray payload(bytes.data(), static_cast<qsizetype>(bytes.size()));
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kSequencerClipboardMime), payload);
    data->setData(QString::fromLatin1(kSequencerClipboardFormat), payload);
    return data;
}

std::optional<std::u16string> CQtSequencerSource::GetSequencerText() {
    return SequencerTextFrom(QApplication::clipboard()->mimeData(QClipboard::Clipboard));
}

} // namespace rux
