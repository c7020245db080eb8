// The edit session's clipboard on the desktop clipboard: the private program fragment and plain text.
#pragma once

#include "editor/clipboard.h"

#include <QString>

class QMimeData;

namespace rux {

// MIME name of the private fragment; on X11 it is also offered under the target kPrivateClipboardFormat.
inline const QString kFragmentMimeType = QStringLiteral("application/x-tved1rux");

// Both formats of a selection, as Copy and a drag offer them.
QMimeData* MakeEditorMimeData(const std::string& fragment, const std::string& plainText);
// What a clipboard or a drop carries; absent formats stay empty.
std::optional<std::string> FragmentFrom(const QMimeData* data);
std::optional<std::string> PlainTextFrom(const QMimeData* data);

class CQtClipboard final : public CClipboard {
public:
    void SetData(const std::string& fragment, const std::string& plainText) override;
    std::optional<std::string> GetFragment() const override;
    std::optional<std::string> GetPlainText() const override;
};

} // namespace rux
