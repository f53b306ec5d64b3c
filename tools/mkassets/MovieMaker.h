#pragma once
// The sample movies: the intro, a briefing and a victory movie, a few seconds each, drawn with
// the maker's pictures and encoded by the platform's movie writer.
#include <string>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace MovieMaker {
const std::vector<std::string>& MovieNames();
// Writes movie `name` (one of MovieNames) to the path; false with a message on failure.
bool WriteMovie(const std::string& name, const std::string& path, const AssetPalette& palette,
                std::string& error);
}  // namespace MovieMaker

}  // namespace mkassets
