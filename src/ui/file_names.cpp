#include "file_names.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "target/build_messages.h"

#include <QFile>

namespace rux {

QString FromFileName(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToFileName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString FormatQString(int id, std::initializer_list<QString> args) {
    const QString text = FromCp1252(LoadString(id));
    QString out;
    out.reserve(text.size() + 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size() && text.at(i + 1) >= QLatin1Char('1') &&
            text.at(i + 1) <= QLatin1Char('9')) {
            const size_t n = static_cast<size_t>(text.at(i + 1).unicode() - u'1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString BuildLineText(std::string_view line) {
    const CBuildMessage m = ParseBuildMessage(line);
    if (!m.HasPlace()) return FromCp1252(line);
    // The name starts after the leading blanks the parser skipped.
    const size_t at = line.find(m.file);
    if (at == std::string_view::npos) return FromCp1252(line);
    return FromCp1252(line.substr(0, at)) + FromFileName(m.file) + FromCp1252(line.substr(at + m.file.size()));
}

} // namespace rux
