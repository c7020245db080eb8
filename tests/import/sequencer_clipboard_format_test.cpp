#include "document/line_item.h"
#include "document/section_items.h"
#include "import/sequencer_checksum.h"
#include "import/sequencer_clipboard_format.h"
#include "import/utf16_text.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

// The register bit by bit, straight from the polynomial, to hold the tables to.
uint16_t ModbusRegister(std::string_view bytes) {
    uint16_t crc = 0xFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

TEST(SequencerChecksum, KnownValuesAndTheByteSwap) {
    struct {
        std::string text;
        uint16_t written;
    } cases[] = {
        {"123456789", 0x374B},
        {"", 0xFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SequencerChecksum(c.text), c.written) << c.text;
        const uint16_t reg = ModbusRegister(c.text);
        EXPECT_EQ(SequencerChecksum(c.text), static_cast<uint16_t>((reg << 8) | (reg >> 8))) << c.text;
    }
    EXPECT_EQ(ChecksumLine("123456789"), "//CRC:0x374B");
    EXPECT_EQ(ChecksumLine(""), "//CRC:0xFFFF");
    // Every byte value, high bytes of the code page included, goes through both table halves.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (const std::string& text :
         {all, std::string("$DEFINE A #1.21\r\nx% = 1\n"), std::string("\xE9\x80\xFF")}) {
        const uint16_t reg = ModbusRegister(text);
        EXPECT_EQ(SequencerChecksum(text), static_cast<uint16_t>((reg << 8) | (reg >> 8)));
    }
}

TEST(SequencerChecksum, LineHasNoLeadingZeros) {
    // Look for short texts whose checksum needs fewer than four digits (no two printable characters
    // give one).
    int found = 0;
    for (int a = 32; a < 127 && found < 3; ++a)
        for (int b = 32; b < 127 && found < 3; ++b) {
            const std::string text{'x', static_cast<char>(a), static_cast<char>(b)};
            const uint16_t value = SequencerChecksum(text);
            if (value >= 0x1000) continue;
            ++found;
            const std::string line = ChecksumLine(text);
            const std::string digits = line.substr(8);
            EXPECT_EQ(line.substr(0, 8), "//CRC:0x");
            EXPECT_LT(digits.size(), 4u) << line;
            EXPECT_TRUE(value == 0 || digits[0] != '0') << line;
            EXPECT_EQ(std::stoul(digits, nullptr, 16), value) << line;
            EXPECT_EQ(digits.find_first_of("abcdef"), std::string::npos) << line;
        }
    EXPECT_EQ(found, 3);
}

std::u16string U16(std::string_view ascii) {
    return Utf8ToUtf16(ascii);
}

TEST(SequencerClipboardFormat, ReadsPayloads) {
    struct {
        const char* name;
        std::u16string payload;
        std::map<std::string, std::string> blocks;
    } cases[] = {
        {"any root name, version from text, blocks from CDATA",
         U16("<Whatever><Version>2</Version><ALIAS><![CDATA[$DEFINE A #1.21]]></ALIAS></Whatever>"),
         {{"Version", "2"}, {"ALIAS", "$DEFINE A #1.21"}}},
        {"plain text instead of CDATA gives an empty value",
         U16("<r><Version>2</Version><JOG>x = 1</JOG><JOG_SUBROUTINE_NAME>Jog</JOG_SUBROUTINE_NAME></r>"),
         {{"Version", "2"}, {"JOG", ""}, {"JOG_SUBROUTINE_NAME", ""}}},
        {"the version is not read from CDATA", U16("<r><Version><![CDATA[2]]></Version></r>"),
         {{"Version", ""}}},
        {"the first CDATA section after text, unused elements kept",
         U16("<r>\n <Extra>t<![CDATA[one]]><![CDATA[two]]></Extra>\n <POS0><![CDATA[]]></POS0>\n</r>"),
         {{"Extra", "one"}, {"POS0", ""}}},
        {"markup inside CDATA stays text",
         U16("<r><INITIAL><![CDATA[IF a% < 2 & b% > 1 THEN]]></INITIAL></r>"),
         {{"INITIAL", "IF a% < 2 & b% > 1 THEN"}}},
        {"the declaration is ignored",
         U16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r><Version>3</Version></r>"), {{"Version", "3"}}},
        {"the text ends at its zero", U16("<r><Version>2</Version></r>") + u'\0' + U16("garbage"),
         {{"Version", "2"}}},
        {"a key given twice keeps its last text",
         U16("<r><JOG><![CDATA[one]]></JOG><JOG><![CDATA[two]]></JOG></r>"), {{"JOG", "two"}}},
        {"unparsable text", U16("<r><Version>2</Version>"), {}},
        {"not XML at all", U16("Version=2"), {}},
        {"empty text", u"", {}},
    };
    for (const auto& c : cases) {
        CSequencerClipboardFormat format;
        format.SetValue("left over", "from an earlier read");
        format.ReadPayload(c.payload);
        EXPECT_EQ(format.Blocks(), c.blocks) << c.name;
    }
}

TEST(SequencerClipboardFormat, ConvertsToTheCodePage) {
    // e acute and the euro sign are in the code page; A with macron and an emoji are not.
    const std::u16string payload = u"<r><ALIAS><![CDATA[\u00E9\u20AC\u0100\U0001F600\r\nz]]></ALIAS></r>";
    CSequencerClipboardFormat format;
    format.ReadPayload(payload);
    EXPECT_EQ(format.Value("ALIAS"), "\xE9\x80??\nz") << "line ends are normalised as XML reads them";
    EXPECT_EQ(format.Value("missing"), "");
}

TEST(SequencerClipboardFormat, ReadsFromItsSourceAndEmptiesWithoutData) {
    struct CFake final : CSequencerSource {
        std::optional<std::u16string> text;
        std::optional<std::u16string> GetSequencerText() override { return text; }
    } source;
    CSequencerClipboardFormat format;
    source.text = u"<a><Version>2</Version></a>";
    format.Read(source);
    EXPECT_EQ(format.Value("Version"), "2");
    source.text.reset();
    format.Read(source);
    EXPECT_TRUE(format.IsEmpty());
}

TEST(SequencerClipboardFormat, ShapesBlocks) {
    struct {
        const char* name;
        std::string text;
        std::vector<std::string> body;
    } cases[] = {
        {"one line", "x% = 1", {"x% = 1"}},
        {"two lines", "a\nb", {"a", "b"}},
        {"a trailing line feed gives an empty last line", "a\nb\n", {"a", "b", ""}},
        {"a carriage return stays in its line", "a\r\nb", {"a\r", "b"}},
        {"only a line feed", "\n", {"", ""}},
    };
    for (const auto& c : cases) {
        CSequencerClipboardFormat format;
        format.SetValue("K", c.text);
        std::vector<std::string> lines{"before"};
        ASSERT_TRUE(format.BlockLines("K", lines)) << c.name;
        std::vector<std::string> expected{"before", "// Please do not modify code within in this secion",
                                          ChecksumLine(c.text)};
        expected.insert(expected.end(), c.body.begin(), c.body.end());
        expected.push_back(ChecksumLine(c.text));
        EXPECT_EQ(lines, expected) << c.name;
    }
    CSequencerClipboardFormat format;
    format.SetValue("EMPTY", "");
    std::vector<std::string> lines{"kept"};
    EXPECT_FALSE(format.BlockLines("EMPTY", lines));
    EXPECT_FALSE(format.BlockLines("ABSENT", lines));
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

std::vector<std::string> Texts(const CSequencerClipboardFormat::ItemList& items) {
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item->GetText());
    return texts;
}

TEST(SequencerClipboardFormat, WrapsAndMakesRoutines) {
    auto items = LinesToItems({"a", "b"});
    CSequencerClipboardFormat::Wrap("JOG", items);
    EXPECT_EQ(Texts(items), (std::vector<std::string>{"", "//{{QUODEX_INDEXER_JOG", "a", "b",
                                                      "//}}QUODEX_INDEXER_JOG", ""}));

    struct {
        const char* title;
        bool functionBlock;
        std::vector<std::string> texts;
    } cases[] = {
        {"_SequencerInitial ()", true,
         {"_SequencerInitial ()", "", "FBbody", "a", "b", "_SequencerInitial ()"}},
        {"Jog:", false, {"Jog:", "a", "b", "Jog:"}},
    };
    for (const auto& c : cases) {
        auto routine = LinesToItems({"a", "b"});
        uint32_t counter = 7;
        CSequencerClipboardFormat::Routine(c.title, routine, counter, c.functionBlock);
        EXPECT_EQ(counter, 8u) << c.title;
        EXPECT_EQ(Texts(routine), c.texts) << c.title;
        ASSERT_EQ(routine.front()->GetType(), kItemSectionHeader);
        const auto& header = static_cast<const CSectionHeader&>(*routine.front());
        EXPECT_EQ(header.GetId(), 7u);
        EXPECT_TRUE(header.IsExpanded());
        EXPECT_EQ(header.IsFunctionBlock(), c.functionBlock);
        EXPECT_EQ(routine.back()->GetType(), kItemSectionFooter);
        for (size_t i = 1; i < routine.size(); ++i) {
            EXPECT_EQ(routine[i]->GetSection(), &header) << c.title << " row " << i;
            EXPECT_EQ(routine[i]->GetSectionId(), 7u);
        }
    }
}

TEST(Utf16Text, ConversionsBothWays) {
    const std::u16string lone = {u'A', 0x00FF, 0x0081, 0x2122, 0xD800, u'x', 0xDC00};
    EXPECT_EQ(Utf16ToCp1252(lone), "A\xFF\x81\x99?x?") << "lone surrogates";
    EXPECT_EQ(Utf8ToUtf16("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(Utf8ToUtf16("\xC3(\xE9\xC0\x80"), u"\uFFFD(\uFFFD\uFFFD\uFFFD")
        << "broken and overlong sequences";
    EXPECT_EQ(Utf16FromLittleEndian(Utf16ToLittleEndianZ(u"\u20ACa")), std::u16string(u"\u20ACa") + u'\0');
    EXPECT_EQ(Utf16FromBigEndian(std::string("\x20\xAC\x00", 3)), u"\u20AC") << "odd last byte dropped";
}

TEST(Utf16Text, ClipboardBytesFollowTheirByteOrderMark) {
    using namespace std::string_literals;
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"<\0a\0"s, u"<a"},                   // the platform's own order, no mark
        {"\xFF\xFE<\0\xAC\x20"s, u"<\u20AC"}, // little-endian mark dropped
        {"\xFE\xFF\0<\x20\xAC"s, u"<\u20AC"}, // big-endian after its mark
        {"\xFE"s, u""},                       // one byte is no code unit
        {"\xFF\xFE"s, u""},                   // a mark alone
        {"<\0\xFF\xFE"s, u"<\uFEFF"},         // a mark later on is text
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16FromClipboardBytes(c.bytes), c.text) << c.bytes.size();
}

} // namespace
} // namespace rux
