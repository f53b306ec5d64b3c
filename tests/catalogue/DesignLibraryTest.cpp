#include "catalogue/DesignLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <sys/stat.h>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/FileBytes.h"
#include "core/PtrNode.h"
#include "platform/AtomicFile.h"
#include "support/UnreadableFile.h"

namespace {

class DesignLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { env.Load(CatalogueFileBuilder::Standard().Text()); }
    std::string Path(const char* name) const { return env.AssetDirectory() + name; }
    void Write(const char* name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::string Codes(const DesignLibrary& library) {
        std::string s;
        for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n))
            s += std::string(static_cast<VehicleDesign*>(n)->CodeString()) + "|";
        return s;
    }
    CatalogueEnvironment env;
};

}  // namespace

TEST_F(DesignLibraryTest, SaveAndLoadKeepOrderGroupsAndDropDefaults) {
    DesignLibrary library;
    library.AppendDesign(new VehicleDesign("VWaa------399199212299First"));
    VehicleDesign* blank = library.AddDesign('V');
    VehicleDesign* second = new VehicleDesign("VWbbb-----199199212299Second");
    library.AppendDesign(second);
    VehicleDesign* third = new VehicleDesign("VWa-------399199212299Third");
    library.AppendDesign(third);
    DesignGroup* group = library.AddGroup();
    group->SetName("Strike");
    group->Add(third);
    group->Add(blank);
    group->Add(second);
    library.AddGroup();

    ASSERT_EQ(library.Save(Path("V.vdf").c_str()), 1);
    // The default design is gone from the list and from its group.
    EXPECT_EQ(library.designs.Count(), 3);
    EXPECT_EQ(group->members.Count(), 2);
    EXPECT_EQ(Read("V.vdf"),
              "# vehicle design strings\n"
              "VWa-------399199212299Third\n"
              "VWbbb-----199199212299Second\n"
              "VWaa------399199212299First\n"
              "*\n"
              "Strike\n2\n1\n*\n"
              "New group\n*\n"
              "*\n"
              "\n*\n");

    DesignLibrary loaded;
    ASSERT_EQ(loaded.Load("V.vdf"), 1);
    EXPECT_EQ(Codes(loaded), Codes(library));
    ASSERT_EQ(loaded.groups.Count(), 2);
    DesignGroup* strike = loaded.FirstGroup();
    EXPECT_STREQ(strike->name, "Strike");
    ASSERT_EQ(strike->CountAvailable(), 2);
    EXPECT_STREQ(strike->AvailableAt(0)->name, "Third");
    EXPECT_STREQ(strike->AvailableAt(1)->name, "Second");
    EXPECT_STREQ(loaded.GroupAt(1)->name, "New group");
    EXPECT_EQ(loaded.current, nullptr);
}

TEST_F(DesignLibraryTest, GroupMembersAboveTheTechLevelAreNotSaved) {
    DesignLibrary library;
    VehicleDesign* low = new VehicleDesign("VWaa------399199212299Low");
    VehicleDesign* high = new VehicleDesign("VWah------399199212299High");
    library.AppendDesign(low);
    library.AppendDesign(high);
    DesignGroup* group = library.AddGroup();
    group->Add(low);
    group->Add(high);
    env.services.varnokLevel = 4;
    EXPECT_EQ(group->CountAvailable(), 1);
    EXPECT_EQ(library.CountAvailable(), 1);
    ASSERT_EQ(library.Save(Path("V.vdf").c_str()), 1);
    EXPECT_NE(Read("V.vdf").find("New group\n0\n*\n"), std::string::npos);
}

TEST_F(DesignLibraryTest, HardpointLineRefitsTheFactory) {
    DesignLibrary library;
    library.AddDesign('V');
    library.current = new VehicleDesign("VPz-------399199212299");
    ASSERT_EQ(library.current->SetHardpoint(FindHardpointTemplate('V', 'c'), 1), 1);
    library.AppendDesign(new VehicleDesign("VWa-------399199212299Kept"));
    ASSERT_EQ(library.Save(Path("V.vdf").c_str()), 1);
    EXPECT_NE(Read("V.vdf").find("*\n- c - - - - - \n*\n"), std::string::npos);

    VehicleDesign factory("VPz-------399199212299");
    env.services.factoryDesign = &factory;
    DesignLibrary loaded;
    ASSERT_EQ(loaded.Load("V.vdf"), 1);
    ASSERT_NE(loaded.current, nullptr);
    EXPECT_EQ(std::string(loaded.current->CodeString(), 22), "VPz-c-----399199212299");
    EXPECT_EQ(std::string(factory.CodeString(), 22), "VPz-c-----399199212299");
    EXPECT_EQ(env.services.factoryChanges, 1);
}

TEST_F(DesignLibraryTest, HardpointLineOfDashesMakesABareFactoryDesign) {
    Write("V.vdf", "# vehicle design strings\n*\n*\n- - - - - - - \n*\n");
    DesignLibrary library;
    ASSERT_EQ(library.Load("V.vdf"), 1);
    ASSERT_NE(library.current, nullptr);
    EXPECT_EQ(std::string(library.current->CodeString(), 22), "VPz-------399199212299");
    EXPECT_EQ(env.services.factoryChanges, 0);
}

TEST_F(DesignLibraryTest, MissingOrEmptyFilesAreRefusedCleanly) {
    DesignLibrary library;
    EXPECT_EQ(library.Load("absent.vdf"), 0);
    EXPECT_TRUE(library.designs.IsEmpty());
    EXPECT_EQ(library.Save(Path("empty.vdf").c_str()), 0);
    library.AddDesign('V');
    EXPECT_EQ(library.Save((env.AssetDirectory() + "no/such/dir/V.vdf").c_str()), 0);
}

// A damaged file is refused as a whole (nothing of it enters the library) and says so; what
// is only unusual (unknown part letters, a number with no design behind it in a name, CR LF
// line ends, no hardpoint line) still reads.
TEST_F(DesignLibraryTest, DamagedFilesAreRefusedWholeAndOddOnesStillRead) {
    const std::string code = "VWaa------399199212299";
    const std::string whole = "# vehicle design strings\n" + code + "One\n" + code + "Two\n" +
                              "*\nStrike\n1\n0\n*\n*\n\n*\n";
    // No count of designs or groups is a bound: only the file's size is.
    std::string many = "*\n";
    for (size_t i = 0; i < 1001; ++i)
        many = code + "\n" + many;
    std::string groups;
    for (size_t i = 0; i < 101; ++i)
        groups += "G\n*\n";
    const struct {
        const char* name;
        std::string text;
    } damaged[] = {
        {"cut in the designs", whole.substr(0, 40)},
        {"cut in a group", whole.substr(0, whole.find("Strike") + 9)},
        {"no final star", whole.substr(0, whole.find("*\n*\n") + 2)},
        {"no group star", code + "\n*\nStrike\n0\n"},
        {"index past the designs", code + "\n*\nG\n1\n*\n*\n"},
        {"negative index", code + "\n*\nG\n-1\n*\n*\n"},
        {"index not a number", code + "\n*\nG\n1x\n*\n*\n"},
        {"line shorter than a code", "VW\n*\n*\n"},
        {"control character", code + "\x01Name\n*\n*\n"},
        {"line too long", code + std::string(300, 'n') + "\n*\n*\n"},
        {"line one past what the reader keeps", code + std::string(234, 'n') + "\n*\n*\n"},
        {"not a library", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"a lone star", "*"},
        {"a mark not first", code + "\n\xEF\xBB\xBF*\n*\n"},
        {"member index of ten digits", code + "\n*\nG\n0000000000\n*\n*\n"},
        {"too big", std::string(DesignLibrary::kMaxFileBytes + 1, '#')},
    };
    for (const auto& c : damaged) {
        Write("bad.vdf", c.text);
        DesignLibrary library;
        library.AppendDesign(new VehicleDesign((code + "Kept").c_str()));
        EXPECT_EQ(library.Load("bad.vdf"), 0) << c.name;
        EXPECT_EQ(library.damaged, 1) << c.name;
        EXPECT_NE(library.fault.find("bad.vdf"), std::string::npos) << c.name << library.fault;
        EXPECT_EQ(library.designs.Count(), 1) << c.name;
        EXPECT_TRUE(library.groups.IsEmpty()) << c.name;
        EXPECT_EQ(Read("bad.vdf"), c.text) << c.name;
    }
    const struct {
        const char* name;
        std::string text;
        int designs, groups;
    } odd[] = {
        {"whole", whole, 2, 1},
        {"byte order mark", "\xEF\xBB\xBF" + whole, 2, 1},
        {"byte order mark alone", "\xEF\xBB\xBF", 0, 0},
        {"unknown part letters", "VW\x7e\x7e------399199212299Odd\n*\n*\n", 1, 0},
        {"crlf", code + "\r\n*\r\nG\r\n0\r\n*\r\n*\r\n", 1, 1},
        {"empty", "", 0, 0},
        {"comments only", "# nothing\n", 0, 0},
        {"1000 designs", many.substr(many.find('\n') + 1) + "*\n", 1000, 0},
        {"1001 designs", many + "*\n", 1001, 0},
        {"101 groups", code + "\n*\n" + groups + "*\n", 1, 101},
        {"exactly the byte bound",
         std::string(DesignLibrary::kMaxFileBytes - 28, '#') + "\n" + code + "\n*\n*\n", 1, 0},
        {"a line as long as the reader keeps", code + std::string(233, 'n') + "\n*\n*\n", 1, 0},
    };
    for (const auto& c : odd) {
        Write("odd.vdf", c.text);
        DesignLibrary library;
        EXPECT_EQ(library.Load("odd.vdf"), 1) << c.name;
        EXPECT_EQ(library.damaged, 0) << c.name;
        EXPECT_EQ(library.designs.Count(), c.designs) << c.name;
        EXPECT_EQ(library.groups.Count(), c.groups) << c.name;
    }
    // A member line is the design's place in the list, leading zeros and all, up to nine digits.
    std::string ten;
    for (int i = 9; i >= 0; --i)
        ten += code + "D" + std::to_string(i) + "\n";
    Write("members.vdf", ten + "*\nG\n9\n000000001\n0\n*\n*\n");
    DesignLibrary members;
    ASSERT_EQ(members.Load("members.vdf"), 1);
    ASSERT_EQ(members.groups.Count(), 1);
    std::string names;
    const NodeList& list = members.FirstGroup()->members;
    for (ListNode* m = list.First(); m; m = list.Next(m))
        names += std::string(DesignGroup::DesignOf(static_cast<PtrNode*>(m))->name) + " ";
    EXPECT_EQ(names, "D9 D1 D0 ");
    // A missing file is not a damaged one, nor is one that gives no bytes: that cannot be read,
    // is named, left as it was and never waited on.
    DesignLibrary library;
    EXPECT_EQ(library.Load("absent.vdf"), 0);
    EXPECT_EQ(library.damaged + library.unreadable, 0);
    EXPECT_EQ(library.Load(nullptr), 0);
    EXPECT_EQ(library.damaged + library.unreadable, 0);
    const std::string file = Path("V.vdf");
    for (const UnreadableForm form : AllUnreadableForms()) {
        SCOPED_TRACE(NameOf(form));
        MakeUnreadable(form, file, whole);
        const FileState before = StateOf(file);
        int loaded = -1;
        ASSERT_TRUE(ReadingAs(form, std::filesystem::path(file).parent_path().string(),
                              [&] { loaded = library.Load("V.vdf"); }));
        EXPECT_EQ(loaded, 0);
        EXPECT_EQ(library.unreadable, 1);
        EXPECT_EQ(library.damaged, 0);
        EXPECT_NE(library.fault.find("V.vdf"), std::string::npos) << library.fault;
        EXPECT_EQ(library.designs.Count(), 0);
        EXPECT_EQ(StateOf(file), before);
    }
    // A file that reports 0 bytes and holds some (a /proc file) is read to its end, as far as
    // one byte past the bound: this one is no library, so it is damaged, never taken as empty.
    std::filesystem::remove_all(file);
    std::filesystem::create_symlink("/proc/version", file);
    std::ifstream version("/proc/version", std::ios::binary);
    const std::string held{std::istreambuf_iterator<char>(version), {}};
    ASSERT_GT(held.size(), 4u);
    const FileBytes read = FileBytes::Of("V.vdf", DesignLibrary::kMaxFileBytes);
    EXPECT_EQ(read.outcome, FileBytes::Outcome::Read);
    EXPECT_EQ(read.bytes, held);
    EXPECT_EQ(read.size, static_cast<int32_t>(held.size()));
    const FileBytes cut = FileBytes::Of("V.vdf", 4);
    EXPECT_EQ(cut.bytes, held.substr(0, 4));
    EXPECT_EQ(cut.size, 5);
    EXPECT_EQ(library.Load("V.vdf"), 0);
    EXPECT_EQ(library.damaged, 1);
    EXPECT_EQ(library.unreadable, 0);
    std::filesystem::remove_all(file);
}

TEST_F(DesignLibraryTest, WalkersSkipDesignsAboveTheTechLevel) {
    DesignLibrary library;
    VehicleDesign* a = library.AddDesign('V');
    VehicleDesign* high = new VehicleDesign("VWah------399199212299");
    library.AppendDesign(high);
    VehicleDesign* c = library.AddDesign('V');
    env.services.varnokLevel = 4;
    EXPECT_EQ(library.CountAvailable(), 2);
    EXPECT_EQ(library.FirstAvailable(), a);
    EXPECT_EQ(library.NextAvailable(a), c);
    EXPECT_EQ(library.PrevAvailable(c), a);
    EXPECT_EQ(library.AvailableAt(0), a);
    EXPECT_EQ(library.AvailableAt(1), c);
    EXPECT_EQ(library.AvailableAt(library.CountAvailable()), nullptr);
    EXPECT_EQ(library.AvailableAt(-1), nullptr);
    EXPECT_EQ(library.IndexOfAvailable(high), -1);
    EXPECT_EQ(library.IndexOfAvailable(c), 1);
    library.selected = c;
    EXPECT_EQ(library.UnlinkDesign(c), 2);
    EXPECT_EQ(library.selected, nullptr);
    EXPECT_EQ(library.UnlinkDesign(c), -1);
    delete c;
}

TEST_F(DesignLibraryTest, CurrentDesignIsOwnedOnceWhateverList) {
    DesignLibrary library;
    library.current = new VehicleDesign("VWah------399199212299Draft");
    env.services.varnokLevel = 4;
    library.StoreCurrent();
    EXPECT_EQ(library.designs.Count(), 1);
    EXPECT_EQ(library.current->hardpoints[0], nullptr);
    library.UnlistCurrent();
    EXPECT_TRUE(library.designs.IsEmpty());
    library.StoreCurrent();
    VehicleDesign* other = library.AddDesign('V');
    library.EditIntoCurrent(other);
    EXPECT_STREQ(library.current->name, "New design");
    // Deleting the current design, or clearing while it stands in the list, frees it once.
    library.DeleteDesign(library.current);
    EXPECT_EQ(library.current, nullptr);
    library.current = new VehicleDesign('V');
    library.StoreCurrent();
    library.Clear();
    EXPECT_EQ(library.current, nullptr);
    EXPECT_TRUE(library.designs.IsEmpty());
}

TEST_F(DesignLibraryTest, GroupInsertCountsAvailableMembers) {
    DesignLibrary library;
    VehicleDesign* a = library.AddDesign('V');
    VehicleDesign* high = new VehicleDesign("VWah------399199212299");
    library.AppendDesign(high);
    VehicleDesign* c = library.AddDesign('V');
    VehicleDesign* d = library.AddDesign('V');
    DesignGroup group;
    EXPECT_STREQ(group.name, "New group");
    group.Add(a);
    group.Add(high);
    group.Add(c);
    env.services.varnokLevel = 4;
    // Index 1 among the available members is c: the new member goes in front of it.
    group.Insert(d, 1);
    EXPECT_EQ(DesignGroup::DesignOf(static_cast<PtrNode*>(group.members.At(2))), d);
    group.Insert(d, 99);
    EXPECT_EQ(DesignGroup::DesignOf(static_cast<PtrNode*>(group.members.Last())), d);
    group.Insert(a, -3);
    EXPECT_EQ(DesignGroup::DesignOf(static_cast<PtrNode*>(group.members.First())), a);
    group.Remove(d);
    EXPECT_EQ(group.members.Count(), 4);
    group.RemoveAt(0);
    group.RemoveAt(17);
    EXPECT_EQ(group.CountAvailable(), 2);
    EXPECT_EQ(group.AvailableAt(2), nullptr);
    group.SetName(std::string(300, 'g').c_str());
    EXPECT_EQ(std::string(group.name).size(), 127u);
}

TEST_F(DesignLibraryTest, AFailedSaveKeepsTheDesignsSavedBefore) {
    DesignLibrary library;
    library.AppendDesign(new VehicleDesign("VWaa------399199212299First"));
    ASSERT_EQ(library.Save(Path("V.vdf").c_str()), 1);
    std::ifstream in(Path("V.vdf"), std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)), {});
    library.AppendDesign(new VehicleDesign("VWbbb-----199199212299Second"));
    for (AtomicFileStage stage : {AtomicFileStage::Open, AtomicFileStage::Write,
                                  AtomicFileStage::Sync, AtomicFileStage::Rename}) {
        SetAtomicFileFault(stage);
        EXPECT_EQ(library.Save(Path("V.vdf").c_str()), 0);
        SetAtomicFileFault(AtomicFileStage::None);
        std::ifstream again(Path("V.vdf"), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
        EXPECT_FALSE(std::filesystem::exists(Path("V.vdf.tmp")));
    }
}

// Whatever the writer writes, the reader reads back, however many designs and groups it holds;
// the one bound is the file's size, and a library whose file would pass it is not written at
// all (the file saved before stays as it was).
TEST_F(DesignLibraryTest, EveryLibraryTheWriterWritesReadsBackAndOneTooLargeIsNotWritten) {
    const std::string code = "VWaa------399199212299";
    const size_t bound = DesignLibrary::kMaxFileBytes;
    const struct {
        const char* name;
        int designs;
        int groups;
        size_t bytes;  // when not 0: names sized so that the file is this long
        int saved;
    } cases[] = {
        {"1000 designs", 1000, 1, 0, 1},    {"1001 designs", 1001, 1, 0, 1},
        {"100 groups", 2, 100, 0, 1},       {"101 groups", 2, 101, 0, 1},
        {"the byte bound", 0, 1, bound, 1}, {"a byte beyond", 0, 1, bound + 1, 0},
    };
    for (const auto& c : cases) {
        Write("V.vdf", "# saved before\n" + code + "Old\n*\n*\n");
        DesignLibrary library;
        for (int g = 0; g < c.groups; ++g)
            library.AddGroup()->SetName(("G" + std::to_string(g)).c_str());
        // Designs of 60-character names fill the file to a little below the size asked for.
        const std::string name(60, 'n');
        const size_t line = code.size() + name.size() + 1;
        const size_t base = library.Listing().size() + 1 + 4;
        const int designs = c.bytes ? static_cast<int>((c.bytes - base - 40) / line) : c.designs;
        for (int i = 0; i < designs; ++i)
            library.AppendDesign(new VehicleDesign((code + name).c_str()));
        // Every group holds the first two designs.
        for (DesignGroup* g = library.FirstGroup(); g; g = library.NextGroup(g)) {
            g->Add(static_cast<VehicleDesign*>(library.designs.At(0)));
            g->Add(static_cast<VehicleDesign*>(library.designs.At(1)));
        }
        if (c.bytes) {
            // A last design, in the first group too, whose name takes up the rest.
            const size_t member = std::to_string(designs).size() + 1;
            const size_t rest = c.bytes - (library.Listing().size() + 1) - code.size() - 1 - member;
            ASSERT_GE(rest, 1u) << c.name;
            ASSERT_LT(rest, static_cast<size_t>(VehicleDesign::kNameSize)) << c.name;
            VehicleDesign* last = new VehicleDesign((code + std::string(rest, 'r')).c_str());
            library.AppendDesign(last);
            library.FirstGroup()->Add(last);
            ASSERT_EQ(library.Listing().size() + 1, c.bytes) << c.name;
        }
        const std::string expected = library.Listing();
        EXPECT_EQ(library.Save(Path("V.vdf").c_str()), c.saved) << c.name;
        if (!c.saved) {
            EXPECT_EQ(Read("V.vdf"), "# saved before\n" + code + "Old\n*\n*\n") << c.name;
            EXPECT_FALSE(std::filesystem::exists(Path("V.vdf.tmp"))) << c.name;
            continue;
        }
        EXPECT_EQ(Read("V.vdf"), expected + "\n") << c.name;
        DesignLibrary again;
        ASSERT_EQ(again.Load("V.vdf"), 1) << c.name << again.fault;
        EXPECT_EQ(again.damaged, 0) << c.name;
        EXPECT_EQ(again.designs.Count(), library.designs.Count()) << c.name;
        EXPECT_EQ(again.groups.Count(), c.groups) << c.name;
        EXPECT_EQ(again.Listing(), expected) << c.name;
    }
}
