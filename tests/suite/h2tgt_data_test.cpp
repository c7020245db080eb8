// The target library of the suite: light-edition files, task ids, the type table and the header record
// kept beside each program.
#include "h2tgt.h"
#include "target/h2tgt_library.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <strings.h>

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

class H2TgtData : public ::testing::Test {
protected:
    test::CScopedEnv m_home{"RUXEDIT_HOME", RUX_PRODUCT_DIR};
    CServiceLibrary m_raw{"H2Tgt"};
    CH2TgtLibrary m_lib{std::make_unique<CServiceLibrary>("H2Tgt")};
    test::CTempDir m_dir;
};

// The header record kept beside a program, read and written through the wrapper and the raw entries.
class H2TgtNodeFile : public H2TgtData {
protected:
    decltype(&H2TGT_ReadHeader) m_readHeader = m_raw.Entry<decltype(H2TGT_ReadHeader)>("H2TGT_ReadHeader");
    decltype(&H2TGT_UpdateHeader) m_updateHeader =
        m_raw.Entry<decltype(H2TGT_UpdateHeader)>("H2TGT_UpdateHeader");
    std::string m_program = m_dir.Path("infeed.rux");
};

TEST_F(H2TgtData, LightEditionFiles) {
    const std::string ident = "$*TORVEL/RUX-V1\r\n#info=BmkRef\r\n#endinfo\r\n#info=Ident\r\nAUTHOR=x\r\n";
    const struct {
        const char* name;
        std::string bytes;
        int expected;
    } cases[] = {
        {"lite", ident + "H2Lite=1\r\n#endinfo\r\n", 1},
        {"lite LF only", "$*TORVEL/RUX-V1\n#info=Ident\nH2Lite=1\n#endinfo\n", 1},
        {"any non-zero", ident + "H2Lite=2\r\n#endinfo\r\n", 1},
        {"key case", "$*torvel/rux-v1\r\n#INFO=Ident\r\nh2lite=1\r\n#endinfo\r\n", 1},
        {"no final line end", ident + "H2Lite=1", 1},
        {"full edition", ident + "H2Lite=0\r\n#endinfo\r\n", 0},
        {"empty value", ident + "H2Lite=\r\n#endinfo\r\n", 0},
        {"no flag", ident + "#endinfo\r\n:H2Lite=1\r\n", 0},
        {"after the block", ident + "#endinfo\r\nH2Lite=1\r\n", 0},
        {"in another block", "$*TORVEL/RUX-V1\r\n#info=Section\r\nH2Lite=1\r\n#endinfo\r\n", 0},
        {"block name case", "$*TORVEL/RUX-V1\r\n#info=IDENT\r\nH2Lite=1\r\n#endinfo\r\n", 0},
        {"plain text program", "#info=Ident\r\nH2Lite=1\r\n#endinfo\r\n", 0},
        {"empty file", "", 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = m_dir.Write("p" + std::to_string(n++) + ".rux", c.bytes);
        EXPECT_EQ(m_lib.IsValidHalmLiteFile(path), c.expected) << c.name;
    }
    EXPECT_EQ(m_lib.IsValidHalmLiteFile(m_dir.Path("missing.rux")), 0);
    EXPECT_EQ(m_lib.IsValidHalmLiteFile(m_dir.Path()), 0); // a folder
}

TEST_F(H2TgtData, TaskIdsNamesAndTypeRecords) {
    auto* toId = m_raw.Entry<decltype(H2TGT_GetTaskIDFromTaskName)>("H2TGT_GetTaskIDFromTaskName");
    auto* toName = m_raw.Entry<decltype(H2TGT_GetTaskNameFromTaskID)>("H2TGT_GetTaskNameFromTaskID");
    ASSERT_NE(toId, nullptr);
    ASSERT_NE(toName, nullptr);
    const struct {
        const char* type;
        const char* task;
        int32_t id;
    } cases[] = {
        {"KESTREL", "Initial", 0}, {"KESTREL", "BACKGROUND", 1}, {"kestrel", "pos1", 8},
        {"MERLIN", "Error", 3},    {"MERLIN", "Pos0", -1},       {"HOBBY", "Clock", 2},
        {"EAGLE", "Initial", -1},  {"KESTREL", "", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toId(c.type, c.task), c.id) << c.type << " " << c.task;
        if (c.id < 0) continue;
        char name[32] = "junk";
        ASSERT_EQ(toName(c.type, c.id, name, sizeof name), H2_OK);
        EXPECT_TRUE(std::string(name).size() == std::string(c.task).size() && strcasecmp(name, c.task) == 0);
    }
    char name[32] = "junk";
    EXPECT_EQ(toName("HOBBY", 3, name, sizeof name), H2_ERR_NOT_FOUND);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(toName("KESTREL", -1, name, sizeof name), H2_ERR_NOT_FOUND);
    char small[10] = "junk";
    EXPECT_EQ(toName("KESTREL", 1, small, sizeof small), H2_ERR_BAD_ARGUMENT); // "Background" needs 11
    EXPECT_STREQ(small, "");
    EXPECT_EQ(toName("KESTREL", 0, nullptr, 10), H2_ERR_BAD_ARGUMENT);
    // The type record is filled only when the caller has set its size.
    auto* infos = m_raw.Entry<decltype(H2TGT_GetTypeInfos)>("H2TGT_GetTypeInfos");
    ASSERT_NE(infos, nullptr);
    H2TYPEINFO info{};
    EXPECT_EQ(infos("KESTREL", &info), H2_ERR_BAD_ARGUMENT);
    info.cbSize = sizeof info;
    EXPECT_EQ(infos("KESTREL", &info), H2_OK);
    EXPECT_EQ(info.MaxTasks, 10);
    EXPECT_EQ(infos("KESTREL", nullptr), H2_ERR_BAD_ARGUMENT);
}

// The table is read from the data directory as it is at the time of the call: a missing or broken
// file gives empty answers, a changed one is picked up.
TEST_F(H2TgtData, DataFileMissingBrokenOrChanged) {
    const auto expectEmpty = [&](const char* what) {
        CTargetTypeInfo info;
        EXPECT_EQ(m_lib.GetTypeFromDriveAndTarget("VQ7Z", "ONBOARD"), "") << what;
        EXPECT_FALSE(m_lib.GetTypeInfos("OSPREY", info)) << what;
        EXPECT_EQ(m_lib.GetTypeDisplayName("OSPREY"), "") << what;
        EXPECT_EQ(m_lib.GetLibrarySupport("OSPREY"), 0) << what;
        EXPECT_EQ(m_lib.GetCloneSupport("OSPREY"), 0) << what;
        EXPECT_EQ(m_lib.GetFixedPointParamOpsSupport("OSPREY"), 0) << what;
    };
    ASSERT_EQ(m_lib.GetTypeFromDriveAndTarget("VQ7Z", "ONBOARD"), "OSPREY");
    {
        test::CScopedEnv home("RUXEDIT_HOME", m_dir.Path());
        expectEmpty("missing file");
        static const char broken[] = "\x00\xff[Types\n=\n[]\nType1\n[Types]\nType1=\n";
        m_dir.Write("targets.ini", std::string(broken, sizeof broken - 1));
        expectEmpty("broken file");
        m_dir.Write("targets.ini", "[Types]\nType1=EAGLE\n[EAGLE]\nDisplayName=Eagle EG Test Module\n"
                                   "ExtendedMemory=1\n[DriveTargets]\nRule1=VQ7Z*,ONBOARD,EAGLE\n");
        EXPECT_EQ(m_lib.GetTypeFromDriveAndTarget("VQ7Z", "ONBOARD"), "EAGLE");
        EXPECT_EQ(m_lib.GetTypeDisplayName("EAGLE"), "Eagle EG Test Module");
        EXPECT_EQ(m_lib.GetTypeDisplayName("OSPREY"), "");
        std::filesystem::remove(m_dir.Path("targets.ini"));
        expectEmpty("removed again");
    }
    EXPECT_EQ(m_lib.GetTypeFromDriveAndTarget("VQ7Z", "ONBOARD"), "OSPREY");
}

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
