#pragma once
// The sample unit catalogue: the records of both clans for tech levels 1 to 8 as tables, and
// what they make: the template file "7a.pts", the string-table lines its text fields name,
// every picture pack it names (some in the directory "7a0u/", names differing only by case
// kept apart), the fixed packs the catalogue loads, and the default design files "Vs.vdf" and
// "Ts.vdf".
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CataloguePictures.h"

namespace mkassets {

class AssetPalette;

namespace CatalogueContent {

// The string-table lines the catalogue may use (the rest of the table is the interface's).
constexpr int kFirstTextLine = 33;
constexpr int kLastTextLine = 196;

struct Content {
    std::string catalogue;                               // the text of "7a.pts"
    std::vector<std::pair<int, std::string>> textLines;  // (line, text)
    // Every pack the catalogue loads, by the exact name it asks for.
    std::vector<std::pair<std::string, CataloguePictures::PackRequest>> packs;
    std::vector<int> soundNumbers;                                 // every sound the file names
    std::vector<std::pair<std::string, std::string>> designFiles;  // (name, text)
    std::string error;                                             // empty when the tables fit
};

// Whether a part's short text (its label on the design screen's mounts) names the part as the
// catalogue and the unit panel do: the name itself, or its first letters, at least four of them
// ("Chain" for "Chaingun"), so that it reads as the same word. The maker refuses any other.
bool ShortTextNamesPart(const std::string& name, const std::string& shortText);

// Everything but the pictures; cheap.
const Content& Describe();

// (file name relative to the asset directory, contents) of every catalogue file: the
// template file, the design files and every pack, each pack drawn once.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Files(const AssetPalette& palette);

}  // namespace CatalogueContent

}  // namespace mkassets
