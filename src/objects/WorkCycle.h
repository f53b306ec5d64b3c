#pragma once
// The work in place that miners, scavengers and repair units share: the unit turns one facing
// step per update toward its working facing, then shows a work picture every 50 ms through a
// fixed frame table, looping over a middle stretch while the work may go on, and tells its
// owner when the last frame has passed. The unit keeps its own flags and goals; this keeps the
// frames, the timer and the pictures.
#include <cstdint>

#include "core/Point.h"
#include "core/Timer.h"

class Image;
class ScreenBase;
class ShadeTable;
class SpriteSet;

// A frame table: work frame -> picture frame. At the decision frame the cycle goes back to the
// loop frame while the work may go on, else on to the closing frames; it ends at length.
struct WorkTable {
    const int32_t* frames;
    int32_t length;
    int32_t decisionFrame;
    int32_t loopFrame;
};

class WorkCycle {
public:
    static constexpr int32_t kFrameMs = 50;

    // The pictures are the catalogue's (not owned); null draws the unit as a plain one.
    explicit WorkCycle(SpriteSet* pictures) : pictures(pictures) {}

    // Starts a cycle of the table at frame 0, the pictures' sequence being the facing index.
    void Begin(const WorkTable& table, int facingIndex);
    void Clear() { table = nullptr; }
    bool Running() const { return table != nullptr; }
    // Jumps to the decision frame, so that the closing frames play next.
    void CutShort();

    // One update. Turns the facing one step toward the working facing (and restarts the timer),
    // or, once it faces it, advances a frame when the timer has expired, asking keep() at the
    // decision frame. 1 when the cycle has just reached its end.
    template <class Keep>
    int Step(int32_t& facing, int workingFacing, Keep keep) {
        if (!table) return 0;
        if (facing != workingFacing) {
            TurnOneStep(facing, workingFacing);
            // Every turn step restarts the timer, so the first work picture shows its 50 ms.
            timer.Start();
            return 0;
        }
        if (!timer.Expired()) return 0;
        if (frame == table->decisionFrame)
            frame = keep() ? table->loopFrame : table->decisionFrame + 1;
        else
            ++frame;
        if (frame < table->length) {
            timer.Start();
            return 0;
        }
        return 1;
    }

    // The picture frame of the current work frame.
    int32_t PictureFrame() const;
    // The sequence to draw while the unit works at its working facing; null (draw the unit as
    // a plain one) when it does not, or when the pictures lack the sequence or its frame.
    Image* Picture(int facing, int workingFacing) const;
    // The work picture in the colour, or translucent through the table when one is given.
    void Draw(ScreenBase& view, Image* picture, const Point& at, int colour,
              const ShadeTable* ghost) const;
    void DrawShadow(ScreenBase& view, Image* picture, const Point& at) const;
    void DrawSensed(ScreenBase& view, Image* picture, const Point& at,
                    const ShadeTable* table) const;

    // Not owned.
    SpriteSet* pictures;
    Timer timer{kFrameMs};
    int32_t frame = 0;
    int32_t facingIndex = 0;
    // Null while idle.
    const WorkTable* table = nullptr;

private:
    static void TurnOneStep(int32_t& facing, int workingFacing);
};
