#include "ui/TextField.h"

#include <algorithm>
#include <cstring>

#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/TextWriter.h"

namespace {
// The owner's text, at most 127 characters of it, with its terminator.
void CopyIn(char* to, const char* from) {
    size_t n = strnlen(from, TextField::kMaxLength);
    std::memcpy(to, from, n);
    to[n] = 0;
}

bool Inside(const Rect& r, const Point& p) {
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= r.origin.x + r.extent.w - 1 &&
           p.y <= r.origin.y + r.extent.h - 1;
}

// Keys that a field takes without effect: function keys, up and down, Tab, Home and the
// modifiers.
bool Ignored(int32_t code) {
    return (code >= kKeyF1 && code <= 270) || code == kKeyUp || code == kKeyDown ||
           code == kKeyTab || code == kKeyHome || code == kKeyAlt || code == kKeyShift ||
           code == kKeyCtrl;
}
}  // namespace

TextField::TextField(const Point& origin, int32_t width, int32_t height, int32_t tag,
                     int32_t colour, TextWriter* font)
    : rect(origin, Size(width, height)), tag(tag), colour(colour), font(font) {}

TextField::TextField(const Rect& rect, int32_t tag, int32_t colour, TextWriter* font)
    : rect(rect), tag(tag), colour(colour), font(font) {}

int32_t TextField::Length() const {
    return static_cast<int32_t>(strnlen(text, kMaxLength));
}

void TextField::ClearText() {
    text[0] = 0;
    cursor = 0;
}

void TextField::Reset() {
    active = 0;
    mode = kSelected;
    ClearText();
}

void TextField::CopyOut(const char* from, char* ownerText) const {
    if (ownerText) CopyIn(ownerText, from);
}

void TextField::RemoveAt(int32_t index) {
    const int32_t length = Length();
    if (index < 0 || index >= length) return;
    std::memmove(text + index, text + index + 1, static_cast<size_t>(length - index));
}

int32_t TextField::HandleEvent(const InputEvent& event, char* ownerText) {
    switch (event.kind) {
        case InputKind::ButtonDown:
            if (!Inside(rect, event.position)) return 0;
            if (!active) {
                active = 1;
                mode = kSelected;
                if (ownerText) {
                    CopyIn(text, ownerText);
                    CopyIn(savedText, ownerText);
                    cursor = Length();
                } else {
                    cursor = 0;
                }
            } else {
                mode = kOverwrite;
                cursor = ownerText ? static_cast<int32_t>(strnlen(ownerText, kMaxLength)) : 0;
                cursor = std::min(cursor, Length());
            }
            return 1;
        case InputKind::Key:
            if (!active) return 0;
            HandleKey(event.param, ownerText);
            return 1;
        default:
            return 1;
    }
}

void TextField::HandleKey(int32_t code, char* ownerText) {
    switch (code) {
        case kKeyLeft:
            if (mode == kSelected) mode = kOverwrite;
            cursor = std::max(cursor - 1, 0);
            return;
        case kKeyRight:
            if (mode == kSelected) mode = kOverwrite;
            cursor = std::min(cursor + 1, Length());
            return;
        case kKeyEnter:
        case 300:  // never produced by the input layer, accepted the same way
            active = 0;
            mode = kSelected;
            CopyOut(text, ownerText);
            ClearText();
            return;
        case kKeyEscape:
            active = 0;
            mode = kSelected;
            CopyOut(savedText, ownerText);
            ClearText();
            return;
        case kKeyDelete:
            if (mode == kSelected) {
                ClearText();
                mode = kOverwrite;
            } else {
                RemoveAt(cursor);
            }
            CopyOut(text, ownerText);
            return;
        case kKeyInsert:
            if (mode == kSelected) {
                mode = kInsert;
                cursor = Length();
            } else {
                mode = mode == kOverwrite ? kInsert : kOverwrite;
            }
            return;
        case kKeyBackspace:
            if (mode == kSelected) {
                ClearText();
                mode = kOverwrite;
            }
            if (cursor > 0) RemoveAt(--cursor);
            CopyOut(text, ownerText);
            return;
        default:
            if (Ignored(code)) return;
            Type(code);
            CopyOut(text, ownerText);
            return;
    }
}

void TextField::Type(int32_t code) {
    char c = static_cast<char>(code & 0xFF);
    const unsigned char u = static_cast<unsigned char>(c);
    // Control characters and DEL would end or garble the owner's text.
    if (u < 32 || u == 127) return;
    const bool shift = eventQueue && eventQueue->shiftDown;
    if (!shift && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (mode == kSelected) {
        ClearText();
        mode = kOverwrite;
    }
    const int32_t length = Length();
    if (mode == kInsert && cursor < length) {
        // The text grows by one, dropping its last character beyond 127.
        const int32_t newLength = std::min(length + 1, kMaxLength);
        for (int32_t i = newLength - 1; i > cursor; --i)
            text[i] = text[i - 1];
        text[cursor] = c;
        text[newLength] = 0;
        cursor = std::min(cursor + 1, kMaxLength);
        return;
    }
    // Overwrite, or append at the end; a character typed at position 127 does not stay.
    if (cursor >= kMaxLength) {
        cursor = kMaxLength;
        text[kMaxLength] = 0;
        return;
    }
    text[cursor] = c;
    if (cursor == length) text[cursor + 1] = 0;
    ++cursor;
}

void TextField::Draw(int32_t textColour) {
    if (!active || !display) return;
    const Point origin = rect.origin;
    const int32_t width = rect.extent.w;
    const int32_t height = rect.extent.h;
    display->SetClipRect(Rect(origin - Point(2, 2), Size(width + 4, height + 4)));
    OutlineRect frame(colour, Size(width + 2, height + 2));
    frame.DrawAt(origin - Point(1, 1));
    if (mode == kSelected) {
        const int32_t textWidth = font ? font->TextWidth(text) : 0;
        ColourBox box(colour, Size(textWidth, height - 2));
        box.DrawAt(origin + Point(0, 1));
    } else {
        char before[kCapacity];
        std::memcpy(before, text, static_cast<size_t>(cursor));
        before[cursor] = 0;
        const int32_t x = font ? font->TextWidth(before) : 0;
        int32_t w = 10;
        if (cursor < Length()) {
            const char single[2] = {text[cursor], 0};
            w = font ? font->TextWidth(single) : 0;
        }
        ColourBox block(colour, Size(w, height));
        block.DrawAt(origin + Point(x - 2, 0));
    }
    if (font) font->DrawText(origin + Point(1, height - 2), text, textColour);
    display->ResetClipRect();
}
