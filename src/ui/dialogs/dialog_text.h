// Texts between the core (Windows-1252 bytes, the string table) and the dialogs' widgets.
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QWidget;

namespace rux {

QString ToQString(std::string_view bytes);
// Characters outside Windows-1252 become "?": no program text can hold them.
std::string ToBytes(const QString& text);
// A text of the string table.
QString LoadQString(int id);

// A message box titled "RUX Editor" with the exclamation icon.
void ShowEditorMessage(QWidget* parent, const std::string& text);
// A Yes/No box titled "RUX Editor"; true for Yes.
bool AskEditorYesNo(QWidget* parent, const std::string& text);

} // namespace rux
