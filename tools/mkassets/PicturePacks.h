#pragma once
// The interface pictures: the title picture, the exit pictures, the busy indicator's wait
// animation and the cursor shapes, each as a canvas (for previews) and as the pack the game reads.
#include <cstdint>
#include <vector>

#include "Canvas.h"

namespace mkassets {

class AssetPalette;

namespace PicturePacks {
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kCursorShapes = 42;
constexpr int kCursorBox = 40;
constexpr int kBusyFrames = 8;
constexpr int kExitPages = 3;  // the background and two pages over it

Canvas TitlePicture(const AssetPalette& palette);
Canvas ExitPicture(int page, const AssetPalette& palette);
Canvas BusyFrame(int frame, const AssetPalette& palette);
int CursorFrameCount(int shape);
Canvas CursorFrame(int shape, int frame, const AssetPalette& palette);

// "7a1utxxx00s000.msp": the title picture as entry (0, 0).
std::vector<uint8_t> MakeTitlePack(const AssetPalette& palette);
// "7a1uzxxx99s999.msp": one picture per row, the background first.
std::vector<uint8_t> MakeExitPack(const AssetPalette& palette);
// "7a1axxxx99s999.msp": one wait frame per row.
std::vector<uint8_t> MakeBusyPack(const AssetPalette& palette);
// "7a0ukxxx99s999.msp": the host and join screen's background (with the name box, the status
// box and both button places), then the faces of cancel and OK, one picture per row.
std::vector<uint8_t> MakeNetworkPack(const AssetPalette& palette);
// "7a0ucxxx99s999.msp": the host and join screen's busy animation, one frame per row.
std::vector<uint8_t> MakeNetworkBusyPack(const AssetPalette& palette);
// "7a0cxxxx99s999.msp": one shape per row, its animation frames across the columns.
std::vector<uint8_t> MakeCursorPack(const AssetPalette& palette);
}  // namespace PicturePacks

}  // namespace mkassets
