// Suite libraries as the editor loads them: file names, the product directory, and the target library
// behind its wrapper.
#include "target/product_directory.h"

#include "support/scoped_env.h"
#include "target/h2tgt_library.h"
#include "target/service_library.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

TEST(ServiceLibrary, FileNameFromSuiteName) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"H2Tgt", "libH2Tgt.so"},       {"Hm2ComApi", "libHm2ComApi.so"}, {"SSE", "libSSE.so"},
        {"H2Cmp.dll", "libH2Cmp.so"},   {"H2LOAD.DLL", "libH2LOAD.so"},   {"libm.so.6", "libm.so.6"},
        {"libH2Syb.so", "libH2Syb.so"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CServiceLibrary::FileNameFor(c.name), c.file) << c.name;
}

TEST(ServiceLibrary, LoadsFromProductDirectoryAndResolvesByName) {
    test::CScopedEnv home("RUXEDIT_HOME", RUX_PRODUCT_DIR);
    const CServiceLibrary lib("H2Tgt");
    ASSERT_TRUE(lib.IsLoaded());
    EXPECT_TRUE(
        std::filesystem::equivalent(lib.Path(), std::filesystem::path(RUX_PRODUCT_DIR) / "libH2Tgt.so"));
    EXPECT_NE(lib.Resolve("H2TGT_ReadHeader"), nullptr);
    EXPECT_NE(lib.Resolve("H2TGT_Download"), nullptr);
    EXPECT_EQ(lib.Resolve("H2TGT_NoSuchEntry"), nullptr);
    // The library's own helpers stay hidden: only the C interface is exported.
    EXPECT_EQ(lib.Resolve("_ZN3rux3tgt13DataDirectoryEv"), nullptr);
}

// A library that is not in the folder resolves nothing, unless the system's own search finds it.
TEST(ServiceLibrary, MissingLibraryResolvesNothingButTheSystemSearchIsTried) {
    test::CTempDir empty;
    for (const std::string& dir : {empty.Path(), std::string("/no/such/folder")}) {
        const CServiceLibrary lib("H2NoSuchService", dir);
        EXPECT_FALSE(lib.IsLoaded());
        EXPECT_TRUE(lib.Path().empty());
        EXPECT_EQ(lib.Resolve("H2TGT_ReadHeader"), nullptr);
        EXPECT_EQ(lib.Entry<int()>("anything"), nullptr);
    }
    EXPECT_FALSE(CServiceLibrary("").IsLoaded());
    const CServiceLibrary lib("libm.so.6", empty.Path());
    ASSERT_TRUE(lib.IsLoaded());
    EXPECT_EQ(lib.Path(), "libm.so.6");
    auto* cosine = lib.Entry<double(double)>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
}

TEST(ProductDirectory, EnvironmentWinsOverTheExecutablesFolder) {
    {
        test::CScopedEnv home("RUXEDIT_HOME", "/opt/rux-elsewhere");
        EXPECT_EQ(ProductDirectory(), "/opt/rux-elsewhere");
    }
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("")}) {
        test::CScopedEnv home("RUXEDIT_HOME", value);
        // The test binary is built into the product directory.
        EXPECT_TRUE(std::filesystem::equivalent(ProductDirectory(), RUX_PRODUCT_DIR));
    }
}

TEST(H2TgtLibrary, FactoryFindsTheLibraryOnlyInTheProductDirectory) {
    {
        test::CScopedEnv home("RUXEDIT_HOME", RUX_PRODUCT_DIR);
        const auto lib = CreateTargetLibrary();
        EXPECT_NE(dynamic_cast<CH2TgtLibrary*>(lib.get()), nullptr);
    }
    test::CTempDir empty;
    test::CScopedEnv home("RUXEDIT_HOME", empty.Path());
    const auto lib = CreateTargetLibrary();
    EXPECT_NE(dynamic_cast<CNoTargetLibrary*>(lib.get()), nullptr);
}

// A library that is missing, and one that loads but has none of the entries, both answer "did nothing"
// and leave the header alone.
TEST(H2TgtLibrary, MissingLibraryOrEntriesDoNothing) {
    test::CTempDir dir;
    const std::string program =
        dir.Write("belt.rux", "$*TORVEL/RUX-V1\r\n#info=Ident\r\nH2Lite=1\r\n#endinfo\r\n");
    for (const char* name : {"H2NoSuchService", "libm.so.6"}) {
        CH2TgtLibrary lib(std::make_unique<CServiceLibrary>(name, dir.Path()));
        CRuxHeader header;
        header.Title = "kept";
        header.Type = "OSPREY";
        const CRuxHeader before = header;
        CTargetTypeInfo info;
        info.displayName = "untouched";
        EXPECT_EQ(lib.GetTypeFromDriveAndTarget("VQ7Z", "ONBOARD"), "") << name;
        EXPECT_FALSE(lib.GetTypeInfos("OSPREY", info)) << name;
        EXPECT_EQ(info.displayName, "untouched") << name;
        EXPECT_EQ(lib.GetTypeDisplayName("OSPREY"), "") << name;
        EXPECT_FALSE(lib.UpdateHeader(program, header)) << name;
        EXPECT_FALSE(lib.ReadHeader(program, header)) << name;
        EXPECT_EQ(header, before) << name;
        EXPECT_EQ(lib.GetLibrarySupport("OSPREY"), 0) << name;
        EXPECT_EQ(lib.GetCloneSupport("OSPREY"), 0) << name;
        EXPECT_EQ(lib.GetFixedPointParamOpsSupport("OSPREY"), 0) << name;
        EXPECT_EQ(lib.IsValidHalmLiteFile(program), 0) << name;
    }
    CH2TgtLibrary none(nullptr);
    EXPECT_EQ(none.GetTypeDisplayName("OSPREY"), "");
}

class H2TgtShipped : public ::testing::Test {
protected:
    test::CScopedEnv m_home{"RUXEDIT_HOME", RUX_PRODUCT_DIR};
    CH2TgtLibrary m_lib{std::make_unique<CServiceLibrary>("H2Tgt")};
};

TEST_F(H2TgtShipped, DriveAndOptionModuleGiveTheType) {
    const struct {
        const char* drive;
        const char* target;
        const char* type;
    } cases[] = {
        {"VQ7Z", "ONBOARD", "OSPREY"},
        {"VQ7Z-04400", "onboard", "OSPREY"},
        {"vq7z-02200", "KA-01", "GOSHAWK"}, // the VQ7Z rules come before the module rules
        {"VQ7Z", "PG-NET", "GOSHAWK"},
        {"VQ5A", "KA-01", "KESTREL"},
        {"VQ6M-1100", "KA-02", "KESTREL"},
        {"VQ5B", "ONBOARD", "MERLIN"},
        {"VQ6M", "ONBOARD", "MERLIN"},
        {"VQ5A", "MP-LITE", "MERLIN"},
        {"VQ6M", "HX-40", "HARRIER"},
        {"VQ5A", "PG-NET2", "PEREGRINE"},
        {"VQ3H-0100", "ONBOARD", "HOBBY"},
        {"VQ5A", "XX-99", ""},
        {"VQ9Q", "ONBOARD", ""},
        {"", "", ""},
        {"VQ5A", "KA-0", ""}, // an exact module id is not a prefix
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_lib.GetTypeFromDriveAndTarget(c.drive, c.target), c.type) << c.drive << " / " << c.target;
}

TEST_F(H2TgtShipped, TypeCapabilitiesAndDisplayNames) {
    const struct {
        const char* type;
        const char* name;
        bool extended;
        int library, clone, fixedPoint;
    } cases[] = {
        {"KESTREL", "Kestrel KA Applications Module", false, 1, 0, 0},
        {"MERLIN", "Merlin MP Onboard PLC", false, 0, 1, 1},
        {"OSPREY", "Osprey VQ7Z Onboard Controller", true, 1, 1, 1},
        {"goshawk", "Goshawk GA Applications Module (VQ7Z)", true, 1, 1, 0},
    };
    for (const auto& c : cases) {
        CTargetTypeInfo info;
        ASSERT_TRUE(m_lib.GetTypeInfos(c.type, info)) << c.type;
        EXPECT_EQ(info.extendedMemory, c.extended) << c.type;
        EXPECT_EQ(info.displayName, c.name) << c.type;
        EXPECT_EQ(m_lib.GetTypeDisplayName(c.type), c.name) << c.type;
        EXPECT_EQ(m_lib.GetLibrarySupport(c.type), c.library) << c.type;
        EXPECT_EQ(info.librarySupport, c.library) << c.type;
        EXPECT_EQ(m_lib.GetCloneSupport(c.type), c.clone) << c.type;
        EXPECT_EQ(info.cloneSupport, c.clone) << c.type;
        EXPECT_EQ(m_lib.GetFixedPointParamOpsSupport(c.type), c.fixedPoint) << c.type;
    }
    CTargetTypeInfo info;
    for (const char* unknown : {"", "EAGLE", "KESTREL2"}) {
        EXPECT_FALSE(m_lib.GetTypeInfos(unknown, info)) << unknown;
        EXPECT_EQ(m_lib.GetTypeDisplayName(unknown), "") << unknown;
        EXPECT_EQ(m_lib.GetLibrarySupport(unknown), 0) << unknown;
    }
}

// The extended-memory box of the Properties dialog depends on this: whatever module sits in a VQ7Z,
// its type offers the extended memory, and no other drive's type does.
TEST_F(H2TgtShipped, OnlyVq7zDrivesHaveExtendedMemory) {
    for (const char* drive : {"VQ7Z", "VQ7Z-04400", "VQ5A", "VQ5B", "VQ6M", "VQ3H"})
        for (const char* target :
             {"ONBOARD", "KA-01", "KA-02", "MP-LITE", "HX-20", "HX-40", "PG-NET", "GH-7"}) {
            const std::string type = m_lib.GetTypeFromDriveAndTarget(drive, target);
            if (type.empty()) continue;
            CTargetTypeInfo info;
            ASSERT_TRUE(m_lib.GetTypeInfos(type, info)) << type;
            EXPECT_EQ(info.extendedMemory, std::string(drive).starts_with("VQ7Z"))
                << drive << " / " << target;
        }
}

} // namespace
} // namespace rux
