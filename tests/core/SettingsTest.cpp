#include "core/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScopedWorkingDir.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    // The values as they stand before LoadSettings runs.
    void SetUp() override {
        flipEnabled = 1;
        discDriveLetter = '?';
        moviesOff = 0;
        tcpPort = 3385;
        lowDetail = 0;
        scrollStep = 64;
        autosaveOn = 0;
        noShake = 0;
        cheatsOn = 0;
        traceOn = 0;
    }

    static std::vector<int32_t> Values() {
        return {flipEnabled, discDriveLetter, moviesOff, tcpPort,  lowDetail,
                scrollStep,  autosaveOn,      noShake,   cheatsOn, traceOn};
    }

    void LoadFrom(const std::string& ini) {
        dir.WriteFile("QX.INI", ini);
        LoadSettings();
    }

    ScopedWorkingDir dir;
};

}  // namespace

TEST_F(SettingsTest, NoFileLeavesEveryDefault) {
    const std::vector<int32_t> defaults = Values();
    LoadSettings();
    EXPECT_EQ(Values(), defaults);
    EXPECT_EQ(dir.ReadFile("QX.INI"), "");
}

TEST_F(SettingsTest, FirstCharacterDecidesInEitherCase) {
    LoadFrom(
        "[DISPLAY]\nFLIP=no\n"
        "[PATH]\nCD_ASSETS=E\n"
        "[OPTIONS]\nMOVIES=nope\nAUTOSAVE=yes\nNOSHAKE=Y\nCHEAT=yEs\n"
        "[COMMUNICATIONS]\nPORT=4000\n"
        "[PERFORMANCE]\nDETAIL=low\nSCROLL=Slow\n");
    EXPECT_EQ(flipEnabled, 0);
    EXPECT_EQ(discDriveLetter, 'E');
    EXPECT_EQ(moviesOff, 1);
    EXPECT_EQ(tcpPort, 4000);
    EXPECT_EQ(lowDetail, 1);
    EXPECT_EQ(scrollStep, 32);
    EXPECT_EQ(autosaveOn, 1);
    EXPECT_EQ(noShake, 1);
    EXPECT_EQ(cheatsOn, 1);
}

TEST_F(SettingsTest, OtherFirstCharactersAndEmptyValuesKeepTheDefaults) {
    const std::vector<int32_t> defaults = Values();
    LoadFrom(
        "[DISPLAY]\nFLIP=\n"
        "[PATH]\nCD_ASSETS=\n"
        "[OPTIONS]\nMOVIES=Off\nAUTOSAVE=no\nNOSHAKE=\nCHEAT=true\n"
        "[PERFORMANCE]\nDETAIL=HIGH\nSCROLL=medium\n");
    EXPECT_EQ(Values(), defaults);
}

TEST_F(SettingsTest, ARuleThatDoesNotMatchLeavesTheValueAsItWas) {
    flipEnabled = 0;
    scrollStep = 32;
    cheatsOn = 1;
    LoadFrom("[DISPLAY]\nFLIP=YES\n[PERFORMANCE]\nSCROLL=FAST\n[OPTIONS]\nCHEAT=NO\n");
    EXPECT_EQ(flipEnabled, 0);
    EXPECT_EQ(scrollStep, 32);
    EXPECT_EQ(cheatsOn, 1);
}

TEST_F(SettingsTest, ProfileValuesRoundTripThroughTheStemsFile) {
    char value[16] = "unchanged";
    EXPECT_EQ(ReadProfileValue("QX", "OPTIONS", "HOST", value, sizeof value), 0);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(WriteProfileValue("QX", "OPTIONS", "HOST", "127.0.0.1"), 1);
    EXPECT_EQ(ReadProfileValue("QX", "OPTIONS", "HOST", value, sizeof value), 9);
    EXPECT_STREQ(value, "127.0.0.1");
    EXPECT_NE(dir.ReadFile("QX.INI").find("127.0.0.1"), std::string::npos);
}
