#include "target/product_directory.h"
#include "target/service_library.h"
#include "support/scoped_env.h"

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

} // namespace
} // namespace rux
