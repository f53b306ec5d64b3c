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

// A wrapping list shorter than a page shows each entry once and leaves the rest empty, at every
// tech level and for both clans.
TEST_F(DesignPickersTest, AShortWrappingListFillsItsPageOnce) {
    Open();
    int shortLists = 0;
    for (char letter : {'V', 'T'}) {
        screen->clan = letter;
        for (int tech = 1; tech <= 8; ++tech) {
            f->world->techLevelV = f->world->techLevelT = tech;
            for (int category = 0; category <= 3; ++category) {
                SCOPED_TRACE(testing::Message() << letter << tech << " " << category);
                const std::vector<Template*> offered = Offered(*screen, category);
                screen->FillFirstPage(category);
                const std::vector<Template*> page = Page(*screen);
                const size_t filled = std::min<size_t>(offered.size(), 3);
                for (size_t i = 0; i < 3; ++i)
                    EXPECT_EQ(page[i] != nullptr, i < filled) << i;
                std::set<Template*> distinct(page.begin(), page.end());
                distinct.erase(nullptr);
                EXPECT_EQ(distinct.size(), filled);
                shortLists += offered.size() == 1 || offered.size() == 2;
            }
        }
    }
    f->world->techLevelV = f->world->techLevelT = 8;
    screen->clan = 'V';
    EXPECT_GT(shortLists, 0);
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

namespace {

// Category buttons 0 to 6 as enabled flags, "0101..." in button order.
std::string EnabledCategories(const DesignScreen& screen) {
    std::string out;
    for (int i = 0; i <= 6; ++i)
        out += screen.ButtonOf(i)->enabled ? '1' : '0';
    return out;
}

class DesignCategoryTest : public DesignPickersTest {};

// The parts panel offers only the categories the edited chassis can take, and moves off a
// category it has just closed: none before a chassis is chosen but both chassis lists, only the
// special chassis for roles k, t and g, no ordinary chassis, drives or stealth for the factory
// (z), no ordinary chassis or drives for another special chassis, and no parts at all for an
// ordinary chassis before its drive.
TEST_F(DesignCategoryTest, EachChassisOpensItsCategoriesAndLeavesAClosedOne) {
    Open();
    ChassisTemplate* ordinary = static_cast<ChassisTemplate*>(screen->Next(0, nullptr));
    ASSERT_NE(ordinary, nullptr);
    ASSERT_FALSE(DesignScreen::IsSpecialChassis(*ordinary));
    PartTemplate* drive = static_cast<PartTemplate*>(screen->Next(1, nullptr));
    ASSERT_NE(drive, nullptr);
    const char role = ordinary->role;
    const struct {
        const char* what;
        char role;  // 0: no chassis
        bool drive;
        int from, category;
        const char* enabled;
    } cases[] = {
        {"none, special list", 0, false, 2, 2, "1010000"},
        {"none, weapons", 0, false, 3, 0, "1010000"},
        {"factory, chassis", 'z', true, 0, 3, "0001101"},
        {"factory, stealth", 'z', true, 5, 3, "0001101"},
        {"factory, sensors", 'z', true, 6, 6, "0001101"},
        {"k, weapons", 'k', true, 3, 2, "0010000"},
        {"t, special list", 't', true, 2, 2, "0010000"},
        {"g, drives", 'g', true, 1, 2, "0010000"},
        {"h, special list", 'h', true, 2, 2, "0011111"},
        {"h, drives", 'h', true, 1, 3, "0011111"},
        {"f, chassis", 'f', true, 0, 3, "0011111"},
        {"f, defence", 'f', true, 4, 4, "0011111"},
        {"ordinary, no drive", role, false, 3, 1, "1100000"},
        {"ordinary, special list", role, true, 2, 3, "1101111"},
        {"ordinary, sensors", role, true, 6, 6, "1101111"},
        {"ordinary, chassis", role, true, 0, 0, "1101111"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ordinary->role = c.role ? c.role : role;
        Edited().chassis = c.role ? ordinary : nullptr;
        Edited().drive = c.drive ? drive : nullptr;
        screen->SelectCategory(c.from, 1);
        ASSERT_EQ(screen->category, c.from);
        // As after a pick: the panel is left and entered again.
        screen->SetPanelMode(DesignScreen::kParts);
        EXPECT_EQ(screen->category, c.category);
        EXPECT_EQ(EnabledCategories(*screen), c.enabled);
        for (int i = 0; i <= 6; ++i)
            EXPECT_EQ(screen->ButtonOf(i)->pressed, i == c.category ? 1 : 0) << i;
    }
    ordinary->role = role;
    Edited().chassis = nullptr;
    Edited().drive = nullptr;
}

// The chassis, drive and weapon lists page; the item lists do not. Special chassis pictures
// swing back and forth, those of the first two lists run one way, the others keep the last.
TEST_F(DesignCategoryTest, OnlyTheFirstFourListsPageAndTheSpecialChassisSwing) {
    Open();
    const struct {
        int category;
        int pages, pingPong;
    } cases[] = {{2, 1, 1}, {3, 1, 1}, {4, 0, 1}, {0, 1, 0}, {5, 0, 0}, {1, 1, 0}, {6, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.category);
        ASSERT_EQ(screen->SelectCategory(c.category, 1), 1);
        ASSERT_EQ(screen->category, c.category);
        EXPECT_EQ(screen->ButtonOf(7)->enabled, c.pages);
        EXPECT_EQ(screen->ButtonOf(8)->enabled, c.pages);
        EXPECT_EQ(screen->pingPong, c.pingPong);
    }
}

}  // namespace
