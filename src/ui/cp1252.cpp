#include "cp1252.h"

#include "document/code_page.h"
#include "document/string_table.h"

#include <array>

namespace rux {
namespace {

struct CTables {
    std::array<char16_t, 256> toUnicode{};
    CTables() {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = QString::fromUtf8(Cp1252ToUtf8(std::string_view(&byte, 1)));
            toUnicode[static_cast<size_t>(b)] = s.isEmpty() ? u'?' : s.at(0).unicode();
        }
    }
};

const CTables& Tables() {
    static const CTables tables;
    return tables;
}

} // namespace

QString FromCp1252(std::string_view bytes) {
    const auto& t = Tables().toUnicode;
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (const unsigned char b : bytes)
        *p++ = QChar(t[b]);
    return out;
}

int Cp1252Byte(QChar c) {
    const char16_t u = c.unicode();
    // Latin-1 outside 0x80..0x9F is the same in both; 0x80..0x9F hold other characters there.
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    const auto& t = Tables().toUnicode;
    for (int b = 0x80; b < 0xA0; ++b)
        if (t[static_cast<size_t>(b)] == u) return b;
    return -1;
}

bool ToCp1252(const QString& text, std::string& out) {
    out.clear();
    out.reserve(static_cast<size_t>(text.size()));
    bool all = true;
    for (const QChar c : text) {
        const int b = Cp1252Byte(c);
        if (b < 0) {
            all = false;
            out.push_back('?');
        } else {
            out.push_back(static_cast<char>(b));
        }
    }
    return all;
}

std::string ToCp1252(const QString& text) {
    std::string out;
    ToCp1252(text, out);
    return out;
}

QString LoadQString(int id) {
    return FromCp1252(LoadString(id));
}

} // namespace rux
