// The README's CI script for `rux run` is run as written, with only the path of the `rux` binary
// adapted to this build, so that the documented example keeps passing.
#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <cstdlib>
#include <string>

namespace rux::test {
namespace {

std::string ReadmeScript(const std::string& readme, const std::string& marker) {
    const std::size_t at = readme.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t open = readme.rfind("```sh\n", at);
    const std::size_t close = readme.find("\n```", at);
    if (open == std::string::npos || close == std::string::npos) return {};
    return readme.substr(open + 6, close + 1 - (open + 6));
}

TEST(ReadmeExample, CiScriptForRuxRunPasses) {
    std::string script = ReadmeScript(CTempDir::Read(RUX_SOURCE_DIR "/README.md"), "# Unit tests of the infeed conveyor program");
    ASSERT_FALSE(script.empty()) << "the CI example is missing from README.md";
    const std::string rux = "build/bin/rux", here = RUX_PRODUCT_DIR "/rux";
    int replaced = 0;
    for (std::size_t at = script.find(rux); at != std::string::npos; at = script.find(rux, at + here.size()), ++replaced)
        script.replace(at, rux.size(), here);
    ASSERT_EQ(replaced, 3);

    const CTempDir dir;
    const std::string path = dir.Write("ci.sh", script), out = dir.File("out.txt");
    const std::string command = "cd '" RUX_SOURCE_DIR "' && sh '" + path + "' > '" + out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    const std::string printed = CTempDir::Read(out);
    EXPECT_EQ(status, 0) << printed;
    EXPECT_EQ(printed, "conveyor: all checks passed\n");
}

} // namespace
} // namespace rux::test
