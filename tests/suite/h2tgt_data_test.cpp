#include "h2tgt.h"
#include "target/h2tgt_library.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <strings.h>

namespace rux {
namespace {

class H2TgtData : public ::testing::Test {
protected:
    test::CScopedEnv m_home{"RUXEDIT_HOME", RUX_PRODUCT_DIR};
    CServiceLibrary m_raw{"H2Tgt"};
    CH2TgtLibrary m_lib{std::make_unique<CServiceLibrary>("H2Tgt")};
    test::CTempDir m_dir;
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

} // namespace
} // namespace rux
