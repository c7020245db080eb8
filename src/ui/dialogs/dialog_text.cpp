#include "dialogs/dialog_text.h"

#include "document/code_page.h"
#include "document/string_table.h"

#include <QHash>
#include <QMessageBox>

namespace rux {
namespace {

// The code page's upper half, read back from the core's own table so that both ways agree.
const QHash<char16_t, char>& UpperHalf() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> map;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = QString::fromUtf8(Cp1252ToUtf8(std::string_view(&byte, 1)));
            if (s.size() == 1) map.insert(s.at(0).unicode(), byte);
        }
        return map;
    }();
    return table;
}

} // namespace

QString ToQString(std::string_view bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

std::string ToBytes(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    const auto& upper = UpperHalf();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            const auto it = upper.constFind(u);
            out += it != upper.constEnd() ? it.value() : '?';
        }
    }
    return out;
}

QString LoadQString(int id) {
    return ToQString(LoadString(id));
}

void ShowEditorMessage(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, LoadQString(IDS_APP_TITLE), ToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

bool AskEditorYesNo(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Question, LoadQString(IDS_APP_TITLE), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace rux
