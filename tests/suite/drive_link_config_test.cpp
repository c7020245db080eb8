// The communications library reads its part of the settings file by the editor's own rules.
#include "../../suite/comapi/drive_link.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace rux::comapi {
namespace {

TEST(DriveLinkConfig, SettingsFollowTheEditorsRulesAndTheEnvironmentWins) {
    struct Case {
        const char* ini; // nullptr: no settings file
        const char* addressEnv;
        const char* autoStartEnv;
        const char* host;
        int port;
        bool autoStart;
    } cases[] = {
        {nullptr, nullptr, nullptr, "127.0.0.1", 47600, true},
        {"[Drive]\nAddress=drive.local:5000\nAutoStart=0\n", nullptr, nullptr, "drive.local", 5000, false},
        {"[drive]\r\n  address = h:6000 \r\n", nullptr, nullptr, "h", 6000, true},
        // The first key of a name decides, and an empty one counts as absent.
        {"[Drive]\nAddress=a:1001\nAddress=b:1002\n", nullptr, nullptr, "a", 1001, true},
        {"[Drive]\nAddress=\nAddress=b:1002\n", nullptr, nullptr, "127.0.0.1", 47600, true},
        {"[Drive]\nAutoStart=\nAutoStart=0\n", nullptr, nullptr, "127.0.0.1", 47600, true},
        // Other sections, keys under a broken header and comments do not count.
        {"[Other]\nAddress=x:1\n[Drive\nAddress=y:2\n[Drive]\n;Address=z:3\nAutoStart=0\n", nullptr, nullptr,
         "127.0.0.1", 47600, false},
        // A section split over two headers.
        {"[Drive]\nAutoStart=0\n[Other]\n[DRIVE]\nAddress=s:7000\n", nullptr, nullptr, "s", 7000, false},
        {"[Drive]\nAddress=a:1001\nAutoStart=0\n", "e:2002", "1", "e", 2002, true},
    };
    for (const Case& c : cases) {
        test::CTempDir home;
        if (c.ini != nullptr) home.Write("Torvel.ini", c.ini);
        test::CScopedEnv product("RUXEDIT_HOME", home.Path().c_str());
        test::CScopedEnv address("RUXDRIVE_ADDRESS", c.addressEnv);
        test::CScopedEnv autoStart("RUXDRIVE_AUTOSTART", c.autoStartEnv);
        const CLinkConfig config = ReadLinkConfig();
        const std::string what = c.ini != nullptr ? c.ini : "(no file)";
        EXPECT_EQ(config.host, c.host) << what;
        EXPECT_EQ(config.port, c.port) << what;
        EXPECT_EQ(config.autoStart, c.autoStart) << what;
        EXPECT_EQ(config.driveProgram, home.Path() + "/ruxdrive") << what;
    }
}

} // namespace
} // namespace rux::comapi
