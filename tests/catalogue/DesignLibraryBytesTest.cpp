// Reading a design file from memory must give what reading it from the asset directory gives,
// and the saved text must be the file Save writes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/VehicleDesign.h"

namespace {

// Everything a reading leaves: designs, groups with their member counts, hardpoint roles.
std::string Summary(const DesignLibrary& library) {
    std::string s;
    for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n))
        s += std::string(static_cast<VehicleDesign*>(n)->CodeString()) + "|";
    for (DesignGroup* g = library.FirstGroup(); g; g = library.NextGroup(g))
        s += std::string(g->name) + ":" + std::to_string(g->members.Count()) + "|";
    if (library.current) {
        for (const MountTemplate* m : library.current->hardpoints)
            s += m ? m->role : '-';
    }
    return s;
}

}  // namespace

// A whole library after as many short comment lines as make it `size` bytes.
std::string Filled(size_t size) {
    const std::string library = "VWa-------399199212299Third\n*\nStrike\n1\n0\n*\n*\n*\n";
    std::string text = (size - library.size()) % 2 ? "\n" : "";
    while (text.size() + library.size() < size)
        text += "#\n";
    return text + library;
}

TEST(DesignLibraryBytesTest, MemoryAndFileReadAlikeAndSavedTextIsTheFile) {
    CatalogueEnvironment env;
    env.Load(CatalogueFileBuilder::Standard().Text());
    const std::string texts[] = {
        "# vehicle design strings\nVWa-------399199212299Third\nVWbbb-----199199212299Second\n"
        "*\nStrike\n1\n0\n*\nEmpty\n*\n*\na - b\n*\n",
        "VW\nx\n\x01\x02\n" + std::string(400, 'Q') + "\n*\nG\n-5\n99999999999\n1\n",
        "*",
        "",
        // Both sides of the size limit, filled with short comment lines: a file one byte past it
        // is damaged either way.
        Filled(DesignLibrary::kMaxFileBytes),
        Filled(DesignLibrary::kMaxFileBytes + 1),
    };
    for (const std::string& text : texts) {
        std::ofstream(env.AssetDirectory() + "in.vdf", std::ios::binary) << text;
        DesignLibrary fromFile, fromBytes;
        // Whole or damaged, both ways read the same (the last two texts are refused).
        const int read = fromFile.Load("in.vdf");
        const std::string shown = text.substr(0, 200);
        ASSERT_EQ(fromBytes.LoadFromBytes(text.data(), text.size()), read) << shown;
        EXPECT_EQ(fromBytes.damaged, fromFile.damaged) << shown;
        EXPECT_EQ(read == 0, fromFile.damaged == 1) << shown;
        EXPECT_EQ(Summary(fromBytes), Summary(fromFile)) << shown;
        if (text.size() == static_cast<size_t>(DesignLibrary::kMaxFileBytes)) {
            EXPECT_EQ(read, 1) << fromFile.fault;
        }
        if (text.size() > static_cast<size_t>(DesignLibrary::kMaxFileBytes)) {
            EXPECT_EQ(read, 0);
            EXPECT_NE(fromBytes.fault.find("larger than"), std::string::npos);
        }

        const std::string saved = fromBytes.SavedText();
        if (fromFile.designs.IsEmpty()) continue;
        ASSERT_EQ(fromFile.Save((env.AssetDirectory() + "out.vdf").c_str()), 1);
        std::stringstream written;
        written << std::ifstream(env.AssetDirectory() + "out.vdf", std::ios::binary).rdbuf();
        EXPECT_EQ(written.str(), saved + "\n");
        EXPECT_EQ(Summary(fromBytes), Summary(fromFile));
    }
}
