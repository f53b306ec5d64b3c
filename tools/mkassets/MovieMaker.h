#pragma once
// The sample movies: the intro, the briefings and the victory movies, a few seconds each, drawn
// with the maker's pictures and encoded by the platform's movie writer. The campaign's title
// cards are short and lie only on their clan's volume.
#include <string>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace MovieMaker {
const std::vector<std::string>& MovieNames();
// The volume label a movie belongs on; empty for every volume.
std::string MovieVolume(const std::string& name);
// Writes movie `name` (one of MovieNames) to the path; false with a message on failure.
bool WriteMovie(const std::string& name, const std::string& path, const AssetPalette& palette,
                std::string& error);
}  // namespace MovieMaker

}  // namespace mkassets
