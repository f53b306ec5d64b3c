// Network play put into a World from QX.INI: the BIND address (only a dotted one counts) and
// the links the World then makes on its own.
#include "net/NetworkPlay.h"

#include <gtest/gtest.h>

#include "core/Settings.h"
#include "support/ScopedWorkingDir.h"
#include "world/CommLink.h"
#include "world/World.h"

TEST(NetworkPlay, TheWorldMakesLinksBoundToTheBindSetting) {
    ScopedWorkingDir directory;
    for (const auto& [value, expected] :
         std::vector<std::pair<std::string, std::string>>{{"127.0.0.2", "127.0.0.2"},
                                                          {"localhost", ""},
                                                          {"127.0.0", ""},
                                                          {"127.0.0.256", ""},
                                                          {"", ""}}) {
        directory.WriteFile("QX.INI", "[COMMUNICATIONS]\nBIND=" + value + "\n");
        EXPECT_EQ(BindSetting(), expected) << value;
    }
    directory.WriteFile("QX.INI", "[COMMUNICATIONS]\nBIND=127.0.0.3\n");
    // A World without a link maker gets network play with its first peer link.
    World world;
    CommLink* link = world.AddPeer();
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link->LocalAddress(), "127.0.0.3");
    EXPECT_EQ(link->ConnectionLost(), 0);
    ASSERT_TRUE(world.executeCommands);
}
