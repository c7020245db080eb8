#include "view/qt_clipboard.h"

#include "cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace rux {

QMimeData* MakeEditorMimeData(const std::string& fragment, const std::string& plainText) {
    auto* data = new QMimeData;
    const QByteArray bytes(fragment.data(), static_cast<qsizetype>(fragment.size()));
    data->setData(kFragmentMimeType, bytes);
    // X11 clients ask for the target by its bare name.
    data->setData(QString::fromLatin1(kPrivateClipboardFormat), bytes);
    data->setText(FromCp1252(plainText));
    return data;
}

std::optional<std::string> FragmentFrom(const QMimeData* data) {
    if (!data) return std::nullopt;
    for (const QString& format : {kFragmentMimeType, QString::fromLatin1(kPrivateClipboardFormat)})
        if (data->hasFormat(format)) {
            const QByteArray bytes = data->data(format);
            return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
        }
    return std::nullopt;
}

std::optional<std::string> PlainTextFrom(const QMimeData* data) {
    if (!data || !data->hasText()) return std::nullopt;
    std::string bytes;
    ToCp1252(data->text(), bytes);
    return bytes;
}

void CQtClipboard::SetData(const std::string& fragment, const std::string& plainText) {
    // The primary selection stays untouched: only the clipboard proper is set.
    QApplication::clipboard()->setMimeData(MakeEditorMimeData(fragment, plainText), QClipboard::Clipboard);
}

std::optional<std::string> CQtClipboard::GetFragment() const {
    return FragmentFrom(QApplication::clipboard()->mimeData(QClipboard::Clipboard));
}

std::optional<std::string> CQtClipboard::GetPlainText() const {
    return PlainTextFrom(QApplication::clipboard()->mimeData(QClipboard::Clipboard));
}

} // namespace rux
