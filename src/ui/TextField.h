#pragma once
// A single-line text entry box of up to 127 characters. A click activates it with the owner's
// text selected as a whole; arrows, Insert, Delete and Backspace edit in overwrite or insert
// mode; Enter accepts and Escape restores the text of activation. Every change is copied into
// the owner's buffer (at least 128 characters), so the owner always holds the live text.
#include <cstdint>

#include "core/Rect.h"

class InputEvent;
class TextWriter;

class TextField {
public:
    static constexpr int32_t kCapacity = 128;
    static constexpr int32_t kMaxLength = kCapacity - 1;
    enum Mode : int32_t { kInsert = 1, kOverwrite = 2, kSelected = 3 };

    TextField(const Point& origin, int32_t width, int32_t height, int32_t tag, int32_t colour,
              TextWriter* font);
    TextField(const Rect& rect, int32_t tag, int32_t colour, TextWriter* font);
    virtual ~TextField() = default;

    void Reset();
    // 1 when the event was used.
    virtual int32_t HandleEvent(const InputEvent& event, char* ownerText);
    // Draws the frame, the cursor block or selection box, and the text; nothing while inactive.
    virtual void Draw(int32_t textColour);

    const char* Text() const { return text; }

    int32_t cursor = 0;
    Rect rect;
    int32_t active = 0;
    int32_t mode = kSelected;
    int32_t tag;
    int32_t colour;
    TextWriter* font;

private:
    int32_t Length() const;
    void HandleKey(int32_t code, char* ownerText);
    void Type(int32_t code);
    void RemoveAt(int32_t index);
    void ClearText();
    void CopyOut(const char* from, char* ownerText) const;

    char text[kCapacity] = {};
    char savedText[kCapacity] = {};
};
