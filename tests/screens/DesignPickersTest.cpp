#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "screens/DesignScreenTestFixture.h"

namespace {

const NodeList& ListOf(int category) {
    const NodeList* lists[7] = {&ChassisList,     &PartList,        &ChassisList,   &WeaponList,
                                &DefenceItemList, &StealthItemList, &SensorItemList};
    return *lists[category];
}

// The entries of a category's list the clan may pick, in list order, read from the catalogue.
std::vector<Template*> Offered(const DesignScreen& screen, int category) {
    std::vector<Template*> out;
    const NodeList& list = ListOf(category);
    for (ListNode* n = list.First(); n; n = list.Next(n))
        if (screen.IsOffered(category, *static_cast<Template*>(n)))
            out.push_back(static_cast<Template*>(n));
    return out;
}

std::vector<Template*> Page(const DesignScreen& screen) {
    return {screen.VisibleEntry(0), screen.VisibleEntry(1), screen.VisibleEntry(2)};
}

class DesignPickersTest : public DesignScreenTest {};

// The special chassis (offered only in their own category, never among the ordinary ones):
// the roles k, h, f, t, g and z, and every chassis that deploys, whatever its role.
TEST_F(DesignPickersTest, TheSpecialRolesAndEveryDeployingChassisAreSpecial) {
    ChassisTemplate* plain = nullptr;
    ChassisTemplate* deploying = nullptr;
    for (ListNode* n = ChassisList.First(); n; n = ChassisList.Next(n)) {
        auto* chassis = static_cast<ChassisTemplate*>(n);
        if (chassis->IsDeployable() && !deploying) deploying = chassis;
        if (!chassis->IsDeployable() && !plain) plain = chassis;
    }
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(deploying, nullptr);
    const char plainRole = plain->role, deployingRole = deploying->role;
    for (const char role : {'k', 'h', 'f', 't', 'g', 'z', 'a', 'b', 'c', 'j', 'y', 'K', 'Z'}) {
        plain->role = deploying->role = role;
        const bool special = std::string("khftgz").find(role) != std::string::npos;
        EXPECT_EQ(DesignScreen::IsSpecialChassis(*plain), special) << role;
        EXPECT_TRUE(DesignScreen::IsSpecialChassis(*deploying)) << role;
    }
    plain->role = plainRole;
    deploying->role = deployingRole;
}

TEST_F(DesignPickersTest, BothClansFindEveryCategoryAtTech8AndChassisAndDrivesAtTech1) {
    Open();
    for (char letter : {'V', 'T'}) {
        screen->clan = letter;
        for (int tech : {1, 8}) {
            f->world->techLevelV = f->world->techLevelT = tech;
            for (int category = 0; category < 7; ++category) {
                SCOPED_TRACE(testing::Message()
                             << letter << " tech " << tech << " category " << category);
                const std::vector<Template*> expected = Offered(*screen, category);
                if (tech == 8 || category <= 1) {
                    EXPECT_FALSE(expected.empty());
                }
                // Walking forward from none meets exactly the offered entries, each once.
                std::vector<Template*> walked;
                for (Template* t = screen->Next(category, nullptr); t;
                     t = screen->Next(category, t)) {
                    if (!walked.empty() && t == walked.front()) break;
                    walked.push_back(t);
                    ASSERT_LE(walked.size(), expected.size());
                }
                EXPECT_EQ(walked, expected);
                for (Template* t : walked) {
                    EXPECT_TRUE(t->clan == letter || t->clan == 'X');
                    EXPECT_LE(t->minimumTechLevel, tech);
                }
            }
        }
    }
}

TEST_F(DesignPickersTest, WrappingPagesNeverRepeatAnEntryAndForwardThenBackReturns) {
    Open();
    for (int category = 0; category <= 3; ++category) {
        SCOPED_TRACE(category);
        screen->FillFirstPage(category);
        const std::vector<Template*> first = Page(*screen);
        const size_t offered = Offered(*screen, category).size();
        for (size_t step = 0; step < offered + 2; ++step) {
            const std::vector<Template*> page = Page(*screen);
            std::set<Template*> distinct(page.begin(), page.end());
            distinct.erase(nullptr);
            EXPECT_EQ(distinct.size(), std::min<size_t>(offered, 3));
            screen->PageForward(category);
            screen->PageBack(category);
            EXPECT_EQ(Page(*screen), page);
            screen->PageForward(category);
        }
        // The pages go round: after as many steps as entries the first page is back.
        screen->FillFirstPage(category);
        const std::vector<Template*> start = Page(*screen);
        for (size_t step = 0; step < offered; ++step)
            screen->PageForward(category);
        if (offered > 3) {
            EXPECT_EQ(Page(*screen), start);
        }
        EXPECT_NE(first[0], nullptr);
    }
}

TEST_F(DesignPickersTest, ItemPagesStopAtTheEndsOfTheirLists) {
    Open();
    for (int category = 4; category <= 6; ++category) {
        SCOPED_TRACE(category);
        const std::vector<Template*> offered = Offered(*screen, category);
        screen->FillFirstPage(category);
        EXPECT_EQ(screen->VisibleEntry(0), offered.front());
        screen->PageBack(category);
        EXPECT_EQ(screen->VisibleEntry(0), offered.front());
        for (size_t i = 0; i < offered.size() + 2; ++i)
            screen->PageForward(category);
        const std::vector<Template*> last = Page(*screen);
        EXPECT_EQ(last[offered.size() >= 3 ? 2 : offered.size() - 1], offered.back());
    }
}

TEST_F(DesignPickersTest, ASpecialChassisBringsItsPairedDriveAndAnOrdinaryOneDropsIt) {
    Open();
    ASSERT_EQ(screen->SelectCategory(2, 1), 1);
    ASSERT_EQ(screen->category, 2);
    // Special chassis pictures swing back and forth; those of the first two lists run one way.
    EXPECT_EQ(screen->pingPong, 1);
    auto* special = static_cast<ChassisTemplate*>(screen->VisibleEntry(0));
    ASSERT_NE(special, nullptr);
    PartTemplate* paired = Edited().FindMatchingSecondaryPart(special, screen->FirstPairedDrive());
    ASSERT_NE(paired, nullptr);
    screen->PickEntry(special, 2);
    EXPECT_EQ(Edited().chassis, special);
    EXPECT_EQ(Edited().drive, paired);
    EXPECT_EQ(screen->shownHardpointPanel, special->designPanelIndex);
    // Picking an ordinary chassis takes the paired drive off.
    Template* ordinary = screen->Next(0, nullptr);
    screen->PickEntry(ordinary, 0);
    EXPECT_EQ(Edited().chassis, ordinary);
    EXPECT_EQ(Edited().drive, nullptr);
    screen->SelectCategory(1, 1);
    ASSERT_EQ(screen->category, 1);
    EXPECT_EQ(screen->pingPong, 0);
    // A drive picked for a special chassis takes the chassis and its hardpoints off, and is a
    // change of a stored design.
    screen->PickEntry(special, 2);
    ASSERT_EQ(Edited().chassis, special);
    screen->editState = DesignScreen::kUnchanged;
    Template* drive = screen->Next(1, nullptr);
    ASSERT_NE(drive, nullptr);
    screen->PickEntry(drive, 1);
    EXPECT_EQ(Edited().chassis, nullptr);
    EXPECT_EQ(Edited().drive, drive);
    EXPECT_EQ(screen->shownHardpointPanel, -1);
    EXPECT_EQ(screen->editState, DesignScreen::kChanged);
}

}  // namespace
