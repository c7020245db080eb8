// Program bytes (Windows-1252) and file names (UTF-8 on Linux) as Qt strings: the conversions every
// widget goes through, each keeping its characters, also when both meet in one text.
#include "cp1252.h"
#include "file_names.h"

#include "document/string_table.h"
#include "panes/build_bar.h"

#include <QListWidget>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(Cp1252, CharactersMapToTheirBytesAndOthersAreRefused) {
    struct Row {
        char16_t unicode;
        int byte;
    } rows[] = {
        {u'A', 0x41},
        {u'\t', 0x09},
        {u'\u20AC', 0x80},
        {u'\u201A', 0x82},
        {u'\u0178', 0x9F},
        {u'\u00A0', 0xA0},
        {u'\u00E9', 0xE9},
        {u'\u00FF', 0xFF},
        // Latin-1 controls stand where the code page has other characters; those are not in it.
        {u'\u0080', -1},
        {u'\u0100', -1},
        {u'\u4E2D', -1},
        {u'\u2603', -1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Cp1252Byte(QChar(r.unicode)), r.byte) << int(r.unicode);
        std::string out;
        EXPECT_EQ(ToCp1252(QString(QChar(r.unicode)), out), r.byte >= 0) << int(r.unicode);
        EXPECT_EQ(out, std::string(1, r.byte >= 0 ? static_cast<char>(r.byte) : '?')) << int(r.unicode);
        if (r.byte >= 0) {
            EXPECT_EQ(FromCp1252(std::string(1, static_cast<char>(r.byte))), QString(QChar(r.unicode)));
        }
    }
}

TEST(Cp1252, EveryByteComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    std::string back;
    EXPECT_TRUE(ToCp1252(text, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(ToCp1252(QStringLiteral("x\u20ACy\u4E2Dz")), "x\x80y?z");
}

// "Förderband_ł.rux" as the system spells it: ö is two bytes, ł has no byte in the code page.
const std::string kUtf8Name = "F\xc3\xb6rderband_\xc5\x82.rux";
const QString kName = QStringLiteral(u"F\u00f6rderband_\u0142.rux");

TEST(FileNames, NamesKeepTheirCharactersBothWays) {
    EXPECT_EQ(FromFileName(kUtf8Name), kName);
    EXPECT_EQ(ToFileName(kName), kUtf8Name);
    EXPECT_EQ(FromFileName("/p/a b(1).rux"), "/p/a b(1).rux");
    EXPECT_EQ(ToFileName(QString()), "");
}

TEST(FileNames, StringTableTextsTakeConvertedNames) {
    struct Row {
        std::initializer_list<QString> args;
        QString expected;
    } rows[] = {
        {{kName}, QStringLiteral(u"Save changes to F\u00f6rderband_\u0142.rux?")},
        // A name that looks like a placeholder is not filled again.
        {{QStringLiteral("%1.rux")}, QStringLiteral("Save changes to %1.rux?")},
        {{}, QStringLiteral("Save changes to %1?")},
    };
    for (const Row& r : rows) EXPECT_EQ(FormatQString(IDS_ASK_TO_SAVE, r.args), r.expected);
}

TEST(FileNames, BuildLinesShowTheNameAndTheMessageEachInItsOwnCode) {
    struct Row {
        std::string line;
        QString shown;
    } rows[] = {
        // The message is program text: 0xE9 is é, 0x80 the euro sign.
        {kUtf8Name + "(12,3-5): error E7: caf\xe9 \x80", kName + QStringLiteral(u"(12,3-5): error E7: caf\u00e9 \u20ac")},
        {"  " + kUtf8Name + "(1): warning", QStringLiteral("  ") + kName + QStringLiteral("(1): warning")},
        // No place: the whole line is the compiler's text.
        {"Build: caf\xe9", QStringLiteral(u"Build: caf\u00e9")},
    };
    for (const Row& r : rows) EXPECT_EQ(BuildLineText(r.line), r.shown) << r.line;
}

TEST(FileNames, PickingABuildLineNamesTheFileAsTheSystemSpellsIt) {
    CBuildBar bar;
    bar.AddLine(CBuildBar::kBuildTab, "/p/" + kUtf8Name + "(4,2): error E1: caf\xe9");
    ASSERT_EQ(bar.Count(CBuildBar::kBuildTab), 1);
    EXPECT_EQ(bar.Text(CBuildBar::kBuildTab, 0), QStringLiteral("/p/") + kName + QStringLiteral(u"(4,2): error E1: caf\u00e9"));
    QSignalSpy picked(&bar, &CBuildBar::LocationPicked);
    auto* list = bar.findChild<QListWidget*>("BuildList");
    ASSERT_NE(list, nullptr);
    emit list->itemActivated(list->item(0));
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked[0][0].toString(), QStringLiteral("/p/") + kName);
    EXPECT_EQ(picked[0][1].toInt(), 4);

    // A line shown as it is typed gives its name from the shown text.
    QString file;
    int line = -1, start = -1, end = -1;
    ASSERT_TRUE(CBuildBar::ParseLocation(kName + "(9): error", file, line, start, end));
    EXPECT_EQ(file, kName);
    EXPECT_EQ(line, 9);
}

} // namespace
} // namespace rux
