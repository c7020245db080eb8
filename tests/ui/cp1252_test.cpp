// Program bytes and Qt strings: the one conversion every widget goes through.
#include "cp1252.h"

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

} // namespace
} // namespace rux
