// Starts the game's template catalogue on the asset maker's catalogue, as the World's start-up
// does after building the title screen, and checks that both clans can build at every tech
// level, that the default design files load, and that the unit pictures draw.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/DesignRules.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Bitmap.h"
#include "core/Image.h"
#include "core/MemoryDisplay.h"
#include "core/NodeList.h"
#include "core/Palette.h"
#include "core/Random.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "platform/Paths.h"
#include "support/MadeAssets.h"

#include "mkassets/CatalogueContent.h"
#include "mkassets/DesignScreenPictures.h"
#include "mkassets/GlyphFont.h"

using namespace MadeAssets;

namespace {

class LevelServices : public CatalogueServices {
public:
    int ClanTechLevel(char clan) const override {
        if (clan == 'V') return varnok;
        if (clan == 'T') return telmira;
        return std::min(varnok, telmira);
    }
    char PlayerClan() const override { return 'V'; }
    VehicleDesign* LocalFactoryDesign() override { return nullptr; }
    void FactoryDesignChanged() override {}
    const ShadeTable* TerrainColourTable() const override { return nullptr; }

    int varnok = 8;
    int telmira = 8;
};

// The real loaders, noting every name the catalogue asks for and how it reads it.
class RecordingMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string& name) override {
        names[name] = "grid";
        return CatalogueMedia::LoadGrid(name);
    }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string& name) override {
        names[name] = "column";
        return CatalogueMedia::LoadColumn(name);
    }
    std::unique_ptr<SpriteSet> LoadRow(const std::string& name) override {
        names[name] = "row";
        return CatalogueMedia::LoadRow(name);
    }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string& name) override {
        names[name] = "streamed";
        ++streamed;
        streamedFiles.insert(winx_NativePath(std::string(ResourceFile::AssetPath()) + name));
        return CatalogueMedia::OpenStreamed(name);
    }
    std::unique_ptr<Bitmap> LoadBitmap(const std::string& name) override {
        names[name] = "bitmap";
        return CatalogueMedia::LoadBitmap(name);
    }
    std::unique_ptr<Sound> MakeSound(int32_t number) override {
        if (number >= 0) sounds.insert(number);
        return CatalogueMedia::MakeSound(number);
    }

    std::map<std::string, std::string> names;
    std::set<int> sounds;
    int streamed = 0;
    // The files behind the streamed names, as the game resolves them.
    std::set<std::string> streamedFiles;
};

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

template <class T, class F>
void ForEach(const NodeList& list, F f) {
    for (ListNode* n = list.First(); n; n = list.Next(n))
        f(*static_cast<T*>(n));
}

class AssetCatalogueTest : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        SetCatalogueServices(&services);
        SetCatalogueMedia(&media);
        descriptorsBefore = OpenDescriptors();
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
        descriptorsAfter = OpenDescriptors();
    }
    void TearDown() override {
        ClearTemplateCatalogue();
        SetCatalogueMedia(nullptr);
        SetCatalogueServices(nullptr);
        ImageZoom = 0;
    }

    LevelServices services;
    RecordingMedia media;
    int descriptorsBefore = 0;
    int descriptorsAfter = 0;
};

TEST_F(AssetCatalogueTest, EverySectionIsFilledAndEveryNamedPackExistsUnderItsExactName) {
    EXPECT_GT(DirectionalEffectList.Count(), 0);
    EXPECT_GT(EffectList.Count(), 0);
    EXPECT_GT(ShotPictureList.Count(), 0);
    EXPECT_GT(PartList.Count(), 0);
    EXPECT_GT(ChassisList.Count(), 0);
    EXPECT_GT(WeaponList.Count(), 0);
    EXPECT_GT(SensorItemList.Count(), 0);
    EXPECT_GT(DefenceItemList.Count(), 0);
    EXPECT_GT(StealthItemList.Count(), 0);
    EXPECT_EQ(BuildingList.Count(), 2);
    EXPECT_GT(WreckList.Count(), 0);
    EXPECT_GT(DestructibleList.Count(), 0);
    EXPECT_EQ(RoleList.Count(), 3);
    ASSERT_NE(DestructionEffect, nullptr);
    EXPECT_EQ(DestructionEffect->role, 'j');
    ASSERT_NE(FindETemplate('X', 's'), nullptr);  // the missile trail

    // The platform maps names case-insensitively only when no exact match exists; the maker
    // writes every name exactly, so names that differ by case stay apart.
    std::set<std::string> lower;
    int caseTwins = 0;
    EXPECT_GT(media.names.size(), 150u);
    for (const auto& [name, loader] : media.names) {
        std::string path = name;
        std::replace(path.begin(), path.end(), '\\', '/');
        EXPECT_TRUE(fs::is_regular_file(Local() / path)) << name;
        std::string folded = path;
        for (char& c : folded)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!lower.insert(folded).second) ++caseTwins;
    }
    EXPECT_GT(caseTwins, 0);  // an aircraft's panel and a relay's, "7a0uVCmX" and "7a0UVCmX"
    EXPECT_TRUE(fs::is_directory(Local() / "7a0u"));
    // Each twin is read from its own file: the gunship's panel is not the relay's.
    for (char clan : {'V', 'T'}) {
        ChassisTemplate* gunship = nullptr;
        ChassisTemplate* relay = nullptr;
        ForEach<ChassisTemplate>(ChassisList, [&](ChassisTemplate& c) {
            if (c.clan == clan && c.role == 'p') gunship = &c;
            if (c.clan == clan && c.role == (clan == 'V' ? 'm' : 'q')) relay = &c;
        });
        ASSERT_NE(gunship, nullptr);
        ASSERT_NE(relay, nullptr);
        ASSERT_NE(gunship->panelPictures, nullptr);
        ASSERT_NE(relay->panelPictures, nullptr);
        EXPECT_NE(gunship->panelPictures->FrameSizeOf(0), relay->panelPictures->FrameSizeOf(0));
    }
    // Every sound the catalogue names is in the sound pack.
    ResourceFile sounds;
    ASSERT_EQ(sounds.Open("7a1.XSF", ResourceFile::OpenMode::Pack), 1);
    EXPECT_FALSE(media.sounds.empty());
    for (int number : media.sounds)
        EXPECT_EQ(sounds.SelectEntry(0, number), 1) << number;

    // Every weapon finds its firing effect, explosion and projectile picture.
    ForEach<WeaponTemplate>(WeaponList, [](WeaponTemplate& w) {
        EXPECT_NE(w.fireEffect, nullptr) << w.clan << w.role;
        EXPECT_NE(w.explosion, nullptr) << w.clan << w.role;
        EXPECT_NE(w.projectile, nullptr) << w.clan << w.role;
        ASSERT_NE(w.mapPictures, nullptr);
        EXPECT_EQ(w.mapPictures->LastFrameIndex(), 15);
        EXPECT_NE(w.panelBitmap, nullptr);
    });
    // Every weapon's shot finds the frames its class draws: a flash sequence per facing (a
    // beam's line shows from flash frame 4), four-frame loops for the cycling shot, the flying
    // missile and the animated rocket, a launch on the rack and a trail puff.
    DirectionalEffectTemplate* smoke = FindETemplate('X', 's');
    ASSERT_NE(smoke, nullptr);
    ASSERT_NE(smoke->pictures, nullptr);
    EXPECT_GE(smoke->pictures->SubImage(0)->LastFrameIndex(), 4);
    EXPECT_NE(smoke->sound, nullptr);
    ForEach<WeaponTemplate>(WeaponList, [](WeaponTemplate& w) {
        const WeaponClass k = w.weaponClass;
        SpriteSet* flash = w.fireEffect ? w.fireEffect->pictures.get() : nullptr;
        SpriteSet* shot = w.projectile ? w.projectile->pictures.get() : nullptr;
        ASSERT_NE(flash, nullptr) << w.clan << w.role;
        ASSERT_NE(shot, nullptr) << w.clan << w.role;
        ASSERT_EQ(flash->Count(), 16) << w.clan << w.role;
        ASSERT_EQ(shot->Count(), 16) << w.clan << w.role;
        const int flashFrames = k == WeaponClass::Beam ? 5 : 1;
        const bool looped = k == WeaponClass::CyclingDirectShot || k == WeaponClass::Missile ||
                            k == WeaponClass::HomingMissile || k == WeaponClass::AnimatedRocketShot;
        for (int f = 0; f < 16; ++f) {
            EXPECT_GE(flash->SubImage(f)->LastFrameIndex() + 1, flashFrames) << w.clan << w.role;
            EXPECT_GE(shot->SubImage(f)->LastFrameIndex() + 1, looped ? 4 : 1) << w.clan << w.role;
        }
    });
    // Wreck pictures exist for every chassis letter of either clan.
    ForEach<ChassisTemplate>(ChassisList, [](ChassisTemplate& c) {
        bool found = false;
        ForEach<WreckTemplate>(WreckList, [&](WreckTemplate& w) {
            found = found || (w.role == c.role && (w.clan == 'X' || w.clan == c.clan));
        });
        EXPECT_TRUE(found) << c.clan << c.role;
        ASSERT_NE(c.mapPictures, nullptr);
        EXPECT_EQ(c.mapPictures->LastFrameIndex(), 15) << c.clan << c.role;
    });
}

TEST_F(AssetCatalogueTest, TextsAreFilledFormatsWithoutLeftoverConversions) {
    // The catalogue's lines: formats carry exactly the integer conversions the reader passes
    // (4 for chassis and items, 5 for sensors, 7 for weapons), other texts none.
    std::set<size_t> counts;
    for (int line = 33; line <= 196; ++line) {
        std::string conversions = Conversions(GetString(line));
        conversions.erase(std::remove(conversions.begin(), conversions.end(), '%'),
                          conversions.end());
        EXPECT_EQ(conversions.find_first_not_of('d'), std::string::npos) << GetString(line);
        EXPECT_TRUE(conversions.empty() || conversions.size() == 4 || conversions.size() == 5 ||
                    conversions.size() == 7)
            << GetString(line);
        counts.insert(conversions.size());
    }
    EXPECT_EQ(counts, (std::set<size_t>{0, 4, 5, 7}));
    auto check = [](const Template& t, bool help) {
        ASSERT_NE(t.Name(), nullptr) << t.clan << t.role;
        EXPECT_GT(std::strlen(t.Name()), 2u);
        if (!help) return;
        ASSERT_NE(t.HelpText(), nullptr) << t.Name();
        EXPECT_EQ(std::strchr(t.HelpText(), '%'), nullptr) << t.HelpText();
    };
    ForEach<WeaponTemplate>(WeaponList, [&](WeaponTemplate& w) { check(w, true); });
    ForEach<ChassisTemplate>(ChassisList, [&](ChassisTemplate& c) { check(c, true); });
    ForEach<MountTemplate>(SensorItemList, [&](MountTemplate& m) { check(m, true); });
    ForEach<MountTemplate>(DefenceItemList, [&](MountTemplate& m) { check(m, true); });
    ForEach<MountTemplate>(StealthItemList, [&](MountTemplate& m) { check(m, true); });
    // A sensor's help text shows its reach times 256.
    const MountTemplate* radar = FindHardpointTemplate('V', 'v');
    ASSERT_NE(radar, nullptr);
    EXPECT_NE(std::string(radar->HelpText()).find(std::to_string(5 * 256)), std::string::npos);
}

TEST_F(AssetCatalogueTest, BothClansBuildCompleteArmedDesignsAtEveryTechLevel) {
    SeedRandom(1234);
    for (int level = 1; level <= 8; ++level) {
        services.varnok = services.telmira = level;
        for (char clan : {'V', 'T'}) {
            SCOPED_TRACE(std::string(1, clan) + " level " + std::to_string(level));
            int chassis = 0, drives = 0;
            std::set<int> shotLayers;
            ForEach<ChassisTemplate>(ChassisList, [&](ChassisTemplate& c) {
                chassis += IsAvailableTo(c, clan) ? 1 : 0;
            });
            ForEach<PartTemplate>(
                PartList, [&](PartTemplate& p) { drives += IsAvailableTo(p, clan) ? 1 : 0; });
            ForEach<WeaponTemplate>(WeaponList, [&](WeaponTemplate& w) {
                if (IsAvailableTo(w, clan)) shotLayers.insert(w.shotLayerField);
            });
            EXPECT_GE(chassis, 5);
            EXPECT_GE(drives, 3);
            // Units stand on layer 1 and fly on 2; the homing weapons (level 6) need the relay.
            const std::set<int> expected =
                level >= 6 ? std::set<int>{1, 2, 3} : std::set<int>{1, 2};
            EXPECT_EQ(shotLayers, expected);
            // The factory, the miner and the scavenger are there from the first level.
            const VehicleDesign factory((std::string(1, clan) + "Pz").c_str());
            EXPECT_EQ(factory.complete, 1);
            EXPECT_EQ(VehicleDesign((std::string(1, clan) + "Pf").c_str()).complete, 1);
            EXPECT_EQ(VehicleDesign((std::string(1, clan) + "Ph").c_str()).complete, 1);
            for (int round = 0; round < 12; ++round) {
                DesignRules rules;
                std::unique_ptr<VehicleDesign> design(rules.BuildDesign(clan));
                ASSERT_NE(design, nullptr);
                EXPECT_EQ(design->complete, 1);
                EXPECT_NE(design->chassis->role, 'g');
                EXPECT_LE(design->requiredLevel, level);
                EXPECT_EQ(design->drive->pairing, design->chassis->pairing);
            }
            // A rule set asking for a weapon-carrying hull gets one with its hardpoints armed.
            DesignRules armed;
            armed.AddPartLetter(0, 'b', 1);
            std::unique_ptr<VehicleDesign> trooper(armed.BuildDesign(clan));
            ASSERT_NE(trooper, nullptr);
            EXPECT_EQ(trooper->chassis->role, 'b');
            EXPECT_NE(trooper->hardpoints[0], nullptr);
        }
    }
}

TEST_F(AssetCatalogueTest, ScriptAndTutorialDesignsAreBuildable) {
    struct Wanted {
        const char* code;
        int parts;
    };
    const Wanted wanted[] = {{"VHcedb----", 3}, {"VWav------", 1}, {"VPmdd-----", 2},
                             {"VPmv------", 1}, {"VPqhh-----", 2}, {"VPfaa-----", 2},
                             {"TSbbc-----", 2}, {"TPt-------", 0}};
    for (const Wanted& w : wanted) {
        VehicleDesign design(w.code);
        EXPECT_EQ(design.complete, 1) << w.code;
        EXPECT_EQ(std::string(design.code, 10), w.code);
        int parts = 0;
        for (MountTemplate* part : design.hardpoints)
            parts += part ? 1 : 0;
        EXPECT_EQ(parts, w.parts) << w.code;
    }
    // The deploying chassis cover every structure code.
    std::set<int> codes;
    ForEach<ChassisTemplate>(ChassisList, [&](ChassisTemplate& c) {
        if (c.IsDeployable()) codes.insert(static_cast<DeployingChassisTemplate&>(c).structureCode);
    });
    EXPECT_EQ(codes, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(AssetCatalogueTest, DefaultDesignFilesLoadWithCompleteDesignsAndAGroup) {
    for (char clan : {'V', 'T'}) {
        SCOPED_TRACE(clan);
        DesignLibrary library;
        ASSERT_EQ(library.Load((std::string(1, clan) + "s.vdf").c_str()), 1);
        EXPECT_EQ(library.current, nullptr);  // no hardpoint line
        const std::string text = ReadText(Local() / (std::string(1, clan) + "s.vdf"));
        int count = 0;
        for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d)) {
            ++count;
            EXPECT_EQ(d->clan, clan);
            EXPECT_EQ(d->complete, 1) << d->name;
            EXPECT_EQ(d->named, 1);
            // Every part letter of the file resolved: the code reads back as written.
            const std::string code(d->CodeString(), 22);
            EXPECT_NE(text.find(code + d->name), std::string::npos) << code;
        }
        EXPECT_GE(count, 8);
        ASSERT_NE(library.FirstGroup(), nullptr);
        EXPECT_GT(library.FirstGroup()->CountAvailable(), 0);
    }
}

TEST_F(AssetCatalogueTest, StreamedSetsKeepOneDescriptorPerPackFileWellInsideTheLimit) {
    const int files = static_cast<int>(media.streamedFiles.size());
    const int opened = descriptorsAfter - descriptorsBefore;
    // Streamed sets on the same pack share its descriptor; everything else is closed after
    // reading.
    EXPECT_GT(media.streamed, 0);
    EXPECT_LE(files, media.streamed);
    EXPECT_EQ(opened, files);
    EXPECT_LT(opened, 256);
    RecordProperty("open_descriptors", opened);
    RecordProperty("streamed_sets", media.streamed);
    ClearTemplateCatalogue();
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
}

// The design screen's hardpoint panels: each socket's corner and the side its part's label is
// written on (1 right, 0 left), by panel number, as the design screen lays them out.
struct Socket {
    int x, y, side;
};
const std::vector<std::vector<Socket>> kSockets = {
    {{545, 57, 1}},
    {{545, 91, 1}, {545, 58, 1}},
    {{583, 58, 1}, {507, 58, 0}},
    {{570, 89, 1}, {545, 53, 1}, {520, 89, 0}},
    {{560, 87, 1}, {569, 57, 1}, {520, 57, 0}, {529, 86, 0}},
    {{545, 105, 1}, {576, 77, 1}, {545, 55, 1}, {514, 77, 0}},
    {{565, 100, 1}, {564, 50, 1}, {526, 50, 0}, {526, 100, 0}, {545, 74, 0}},
    {{545, 99, 1}, {563, 75, 1}, {582, 57, 1}, {508, 57, 0}, {527, 75, 0}},
    {{532, 84, 0}, {558, 84, 1}},
    {{545, 91, 1}, {560, 66, 1}, {530, 66, 0}},
    {{545, 79, 1}, {559, 53, 1}, {531, 53, 0}},
    {{545, 68, 1}},
    {{498, 75, 0}, {592, 75, 1}},
    {{545, 105, 0}, {565, 82, 1}, {565, 44, 1}, {525, 44, 0}, {525, 82, 0}, {545, 63, 1}},
    {{545, 105, 0}, {565, 82, 1}, {565, 44, 1}, {525, 44, 0}, {525, 82, 0}, {545, 63, 1}},
};

TEST_F(AssetCatalogueTest, EveryMountedPartsLabelNamesItAndStaysInsideTheMountsBox) {
    // The mounts picture's box inside its one-pixel frame, drawn where the screen draws it.
    constexpr int kLeft = 449, kRight = 638;
    ResourceFile pack;
    ASSERT_EQ(pack.Open("7a0unxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
    MemoryDisplay screen;
    for (int row = 71; row <= 85; ++row) {
        ASSERT_EQ(pack.SelectEntry(0, row), 1) << row;
        Bitmap picture(&pack);
        std::memset(screen.BackPage(), 0, 640 * 480);
        screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        picture.DrawAt(Point(0, 0));
        screen.ResetClipRect();
        for (int x = kLeft - 1; x <= kRight + 1; ++x)
            ASSERT_NE(screen.BackPage()[80 * 640 + x], 0) << "panel " << row << " x " << x;
    }
    std::vector<MountTemplate*> mounts;
    for (const NodeList* list :
         {&WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList}) {
        ForEach<MountTemplate>(*list, [&](MountTemplate& m) { mounts.push_back(&m); });
    }
    ASSERT_FALSE(mounts.empty());
    // Each label names its part as the catalogue and the unit panel do.
    for (const MountTemplate* m : mounts) {
        ASSERT_NE(m->Name(), nullptr);
        ASSERT_TRUE(m->shortText.has_value()) << m->Name();
        EXPECT_TRUE(mkassets::CatalogueContent::ShortTextNamesPart(m->Name(), *m->shortText))
            << m->Name() << ": " << *m->shortText;
    }
    int checked = 0;
    ForEach<ChassisTemplate>(ChassisList, [&](ChassisTemplate& c) {
        if (c.hardpointCount == 0) return;
        const std::string name = c.name.value_or("");
        ASSERT_GE(c.designPanelIndex, 0) << name;
        ASSERT_LT(c.designPanelIndex, static_cast<int>(kSockets.size())) << name;
        const std::vector<Socket>& sockets = kSockets[static_cast<size_t>(c.designPanelIndex)];
        ASSERT_EQ(static_cast<int>(sockets.size()), c.hardpointCount) << name;
        for (int h = 0; h < c.hardpointCount; ++h) {
            // The label starts 12 pixels right of the socket's centre, or ends 12 left of it, six
            // pixels a character.
            const int centre = sockets[static_cast<size_t>(h)].x + 8;
            for (const MountTemplate* m : mounts) {
                if (m->mountSize > c.Capacity(h) || !m->shortText) continue;
                const int width = 6 * static_cast<int>(m->shortText->size());
                const int left =
                    sockets[static_cast<size_t>(h)].side ? centre + 12 : centre - width - 12;
                EXPECT_GE(left, kLeft) << name << " " << h << ": " << *m->shortText;
                EXPECT_LE(left + width - 2, kRight) << name << " " << h << ": " << *m->shortText;
                ++checked;
            }
        }
    });
    EXPECT_GT(checked, 100);
    // What the maker takes for a part's label: the name, or its first four or more letters.
    struct Label {
        const char* name;
        const char* shortText;
        bool names;
    };
    const Label labels[] = {
        {"Chaingun", "Chaingun", true}, {"Chaingun", "Chain", true},  {"Twin Gun", "Twin", true},
        {"Chaingun", "Chai", true},     {"Chaingun", "Cha", false},   {"Twin Gun", "Auto", false},
        {"Cannon", "Twin", false},      {"Rockets", "Salvo", false},  {"Twin Gun", "Twin ", false},
        {"Laser", "Lasers", false},     {"Chaingun", "chain", false}, {"Laser", "", false},
    };
    for (const Label& l : labels)
        EXPECT_EQ(mkassets::CatalogueContent::ShortTextNamesPart(l.name, l.shortText), l.names)
            << l.name << ": " << l.shortText;
}

// The mount-size icons as the design screen draws them on a catalogue entry (its top-right
// corner one column past the entry's and a row under its top, clipped to the entry): each
// shows its size as a figure of the main font, one colour on another, two pixels clear of the
// entry's frame and inside the entry's top-right corner, away from the part in the middle.
TEST_F(AssetCatalogueTest, EachMountSizeIconShowsItsSizeAsAFigureClearOfTheFrame) {
    using mkassets::GlyphFont;
    ResourceFile pack;
    ASSERT_EQ(pack.Open("7a0unxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
    MemoryDisplay screen;
    const Rect entry(Point(518, 156), Size(106, 80));
    const int right = entry.origin.x + entry.extent.w - 1, top = entry.origin.y;
    const int corner = mkassets::DesignScreenPictures::kSizeIconSide;
    for (int size = 1; size <= 4; ++size) {
        SCOPED_TRACE(size);
        ASSERT_EQ(pack.SelectEntry(0, 66 + size), 1);
        Bitmap icon(&pack);
        uint8_t* page = screen.BackPage();
        std::memset(page, 0, 640 * 480);
        screen.SetClipRect(entry);
        icon.DrawAt(Point(right + 2 - icon.FrameSize().w, top + 1) - icon.Origin());
        screen.ResetClipRect();
        auto at = [&](int x, int y) { return page[y * 640 + x]; };
        int drawn = 0;
        for (int y = top; y < top + 40; ++y) {
            for (int x = right - 40; x <= right; ++x) {
                if (!at(x, y)) continue;
                ++drawn;
                EXPECT_TRUE(x <= right - 3 && y >= top + 3) << x << ", " << y << " by the frame";
                EXPECT_TRUE(x > right - corner && y < top + corner) << x << ", " << y;
            }
        }
        EXPECT_GT(drawn, 40);
        // The figure: exactly one place where the glyph's inked pixels are one colour and the
        // rest of its cell another.
        const char figure = static_cast<char>('0' + size);
        int found = 0;
        for (int y = top; y < top + corner; ++y) {
            for (int x = right - corner; x <= right - GlyphFont::kGlyphWidth; ++x) {
                // The glyph's inked pixels share one colour, its blank ones one other (drawn).
                int ink = -1, ground = -1;
                bool match = true;
                for (int r = 0; r < 7 && match; ++r) {
                    for (int c = 0; c < GlyphFont::kGlyphWidth && match; ++c) {
                        int& want = GlyphFont::Inked(figure, c, r) ? ink : ground;
                        const int v = at(x + c, y + r);
                        if (want == -1) want = v;
                        match = v != 0 && v == want;
                    }
                }
                match = match && ink != ground;
                found += match ? 1 : 0;
            }
        }
        EXPECT_EQ(found, 1);
    }
}

}  // namespace

// The units' work cycles draw sequence = facing index, so each work grid holds one sequence
// per working facing, long enough for the highest picture frame of its cycles.
TEST_F(AssetCatalogueTest, WorkGridsHoldASequencePerWorkingFacing) {
    struct Grid {
        PictureTemplate* role;
        int sequences;
        int frames;
    };
    const Grid grids[] = {
        {FindRoleTemplate('V', 'f'), 3, 18},
        {FindRoleTemplate('T', 'h'), 4, 25},
        {GetRepairRoleTemplate(), 2, 19},
    };
    for (const Grid& g : grids) {
        ASSERT_NE(g.role, nullptr);
        ASSERT_NE(g.role->pictures, nullptr);
        EXPECT_EQ(g.role->pictures->Count(), g.sequences);
        for (int s = 0; s < g.sequences; ++s) {
            Image* sequence = g.role->pictures->SubImage(s);
            ASSERT_NE(sequence, nullptr);
            EXPECT_GE(sequence->LastFrameIndex() + 1, g.frames);
        }
    }
}

// While a unit rolls out, the game draws the door animation's frame at the door's offset in
// place of the open body: every door frame covers the body's last frame where that stands (the
// body's outline inside each door frame's), at each zoom, and the door opens over the frames.
TEST_F(AssetCatalogueTest, EachFactoryDoorFrameCoversTheOpenBodyWhereItStands) {
    const struct {
        char clan;
        int zoom;
    } cases[] = {{'V', 0}, {'T', 0}, {'V', 1}, {'T', 1}, {'V', 2}, {'T', 2}};
    MemoryDisplay screen;
    const Point centre(320, 240);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clan << " zoom " << c.zoom);
        BuildingTemplate* building = FindBuildingTemplate(c.clan);
        ASSERT_NE(building, nullptr);
        ASSERT_NE(building->bodyAnimation, nullptr);
        ASSERT_NE(building->doorAnimation, nullptr);
        ImageZoom = c.zoom;
        const int f = 1 << c.zoom;
        auto draw = [&](SpriteSet& set, int frame, const Point& offset) {
            std::memset(screen.BackPage(), 0, 640 * 480);
            screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
            set.DrawFrameShadeFilled(centre + Point(offset.x / f, offset.y / f), frame, 7);
            screen.ResetClipRect();
            return std::vector<uint8_t>(screen.BackPage(), screen.BackPage() + 640 * 480);
        };
        const std::vector<uint8_t> body =
            draw(*building->bodyAnimation, building->bodyAnimation->LastFrameIndex(),
                 building->bodyOffset);
        const int bodyPixels = static_cast<int>(
            std::count_if(body.begin(), body.end(), [](uint8_t v) { return v != 0; }));
        EXPECT_GT(bodyPixels * f * f, 100 * 100);
        // A zoomed picture drops each run's remainder, so a row of more runs (the open door's)
        // may lose a pixel or two that the body's row keeps.
        const int allowed = c.zoom == 0 ? 0 : bodyPixels / 100;
        const int doorFrames = building->doorAnimation->LastFrameIndex() + 1;
        EXPECT_EQ(doorFrames, building->doorFrameCount);
        std::vector<std::vector<uint8_t>> doors;
        for (int frame = 0; frame < doorFrames; ++frame) {
            doors.push_back(draw(*building->doorAnimation, frame, building->doorOffset));
            int uncovered = 0;
            for (size_t i = 0; i < body.size(); ++i)
                uncovered += body[i] != 0 && doors.back()[i] == 0;
            EXPECT_LE(uncovered, allowed) << "door frame " << frame;
        }
        // The door opens: the shut door and the open one differ inside the body.
        int opened = 0;
        for (size_t i = 0; i < body.size(); ++i)
            opened += body[i] != 0 && doors.front()[i] != doors.back()[i];
        EXPECT_GT(opened * f * f, 40);
    }
}
