#include "h2tgt.h"
#include "target/h2tgt_library.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

CRuxHeader FullHeader() {
    CRuxHeader h;
    h.Author = "  J. Brandt  "; // blanks at both ends are part of the text
    h.Company = "Line=Drives; Ltd";
    h.Title = ";Conveyor [infeed]";
    h.Version = "2.10\\b";
    h.Drive = "VQ7Z-04400";
    h.Target = "ONBOARD";
    h.Type = "OSPREY";
    h.Address = 17;
    h.Debug = 1;
    h.Source = 1;
    h.V3 = 1;
    h.Name = "Infeed";
    h.Group = "Line 2";
    h.PosHard = -3;
    h.PosLink = 2147483647;
    h.OptionNumber = -2147483647 - 1;
    h.Network = "CTNet\\ring A";
    h.Descriptor =
        "Infeed conveyor\nspeed follows the line master\n\n\tcheck x.37 before download\nC:\\rux\\n";
    h.H2Lite = 0;
    h.FloatingPoint = 1;
    h.ClipParam = 5;
    h.Library = "";
    h.RefLibs = "Motion;Ramps";
    h.OldLib = "Legacy";
    h.UserProgEnabled = 1;
    h.Reserved = "r";
    h.Reserved1 = 7;
    h.Reserved2 = -7;
    h.Clonable = 1;
    return h;
}

class H2TgtNodeFile : public ::testing::Test {
protected:
    test::CScopedEnv m_home{"RUXEDIT_HOME", RUX_PRODUCT_DIR};
    CH2TgtLibrary m_lib{std::make_unique<CServiceLibrary>("H2Tgt")};
    CServiceLibrary m_raw{"H2Tgt"};
    decltype(&H2TGT_ReadHeader) m_readHeader = m_raw.Entry<decltype(H2TGT_ReadHeader)>("H2TGT_ReadHeader");
    decltype(&H2TGT_UpdateHeader) m_updateHeader =
        m_raw.Entry<decltype(H2TGT_UpdateHeader)>("H2TGT_UpdateHeader");
    test::CTempDir m_dir;
    std::string m_program = m_dir.Path("infeed.rux");
};

TEST_F(H2TgtNodeFile, NoRecordUntilTheHeaderIsStoredAndBadArgumentsFail) {
    CRuxHeader header = FullHeader();
    EXPECT_FALSE(m_lib.ReadHeader(m_program, header));
    EXPECT_EQ(header, FullHeader());
    RUXHEADERINFO record{};
    ASSERT_TRUE(m_readHeader && m_updateHeader);
    EXPECT_EQ(m_readHeader(m_program.c_str(), &record), H2_ERR_NOT_FOUND);
    EXPECT_FALSE(m_lib.UpdateHeader(m_dir.Path("missing/infeed.rux"), FullHeader()));
    EXPECT_EQ(m_updateHeader("", nullptr), H2_ERR_BAD_ARGUMENT);
    EXPECT_EQ(m_readHeader(nullptr, nullptr), H2_ERR_BAD_ARGUMENT);
}

TEST_F(H2TgtNodeFile, RoundTripKeepsEveryFieldAndClipsOnlyAFreshHeader) {
    std::string longDescriptor;
    for (int i = 0; longDescriptor.size() < H2_HDR_DESCRIPTOR; ++i)
        longDescriptor += "step " + std::to_string(i) + ": wait for \\ready\\\n";
    longDescriptor.resize(H2_HDR_DESCRIPTOR - 1);

    CRuxHeader longTexts = FullHeader();
    longTexts.Author = std::string(H2_HDR_TEXT - 1, 'a'); // exactly fills the record's buffer
    longTexts.RefLibs = std::string(H2_HDR_TEXT - 2, ';') + "x";
    longTexts.Descriptor = longDescriptor;

    for (const CRuxHeader& stored : {FullHeader(), longTexts, CRuxHeader()}) {
        ASSERT_TRUE(m_lib.UpdateHeader(m_program, stored));
        CRuxHeader read;
        ASSERT_TRUE(m_lib.ReadHeader(m_program, read));
        EXPECT_EQ(read, stored);
        EXPECT_EQ(read.Descriptor, stored.Descriptor);
    }
    // The rename leaves no temporary file behind.
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("infeed.node.tmp")));

    // Texts longer than the record: a fresh header gets the clipped text, while reading back into
    // the header that was stored keeps the whole text.
    CRuxHeader stored = FullHeader();
    stored.Title = std::string(1500, 't');
    stored.Descriptor = std::string(5000, 'd');
    ASSERT_TRUE(m_lib.UpdateHeader(m_program, stored));
    CRuxHeader fresh;
    ASSERT_TRUE(m_lib.ReadHeader(m_program, fresh));
    EXPECT_EQ(fresh.Title, std::string(H2_HDR_TEXT - 1, 't'));
    EXPECT_EQ(fresh.Descriptor, std::string(H2_HDR_DESCRIPTOR - 1, 'd'));
    CRuxHeader same = stored;
    ASSERT_TRUE(m_lib.ReadHeader(m_program, same));
    EXPECT_EQ(same, stored);
}

TEST_F(H2TgtNodeFile, NodeFileIsOneLinePerField) {
    ASSERT_TRUE(m_lib.UpdateHeader(m_program, FullHeader()));
    const std::string text = test::ReadFileBytes(m_dir.Path("infeed.node"));
    for (const char* line : {"\n[Node]\n", "\nAuthor=  J. Brandt  \n", "\nVersion=2.10\\\\b\n",
                             "\nAddress=17\n", "\nV3=1\n", "\nOptionNumber=-2147483648\n",
                             "\nDescriptor=Infeed conveyor\\nspeed follows the line master\\n\\n\tcheck x.37 "
                             "before download\\nC:\\\\rux\\\\n\n",
                             "\nLibrary=\n", "\nClonable=1\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 29);
}

TEST_F(H2TgtNodeFile, HandWrittenRecordOverridesOnlyWhatItNames) {
    m_dir.Write("infeed.node", "; edited by hand\r\n[Node]\r\naddress= 42 \r\nTITLE=From the node\r\n"
                               "Type=KESTREL\r\nAddress=99\r\nno equals sign here\r\nDebug=x\r\n"
                               "Descriptor=a\\qb\\\r\n");
    CRuxHeader header = FullHeader();
    ASSERT_TRUE(m_lib.ReadHeader(m_program, header));
    CRuxHeader expected = FullHeader();
    expected.Address = 42; // first one wins
    expected.Title = "From the node";
    expected.Type = "KESTREL";
    expected.Debug = 0;              // unreadable number
    expected.Descriptor = "a\\qb\\"; // unknown escapes and a lone backslash stay as they are
    EXPECT_EQ(header, expected);
}

TEST_F(H2TgtNodeFile, NodeFileNameFollowsTheProgram) {
    const struct {
        const char* program;
        const char* node;
    } cases[] = {{"infeed.rux", "infeed.node"},
                 {"plain", "plain.node"},
                 {"two.dots.rux", "two.dots.node"},
                 {".hidden", ".hidden.node"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(m_lib.UpdateHeader(m_dir.Path(c.program), FullHeader())) << c.program;
        EXPECT_TRUE(std::filesystem::exists(m_dir.Path(c.node))) << c.program;
    }
}

} // namespace
} // namespace rux
