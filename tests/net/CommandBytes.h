#pragma once
// Commands as bytes, written from a description field by field (little endian, the header's
// length counted as the fields are added), so tests can describe well-formed and damaged
// messages alike.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Point.h"
#include "core/SimId.h"

class CommandBytes {
public:
    CommandBytes(int kind, const SimId& id = SimId()) {
        bytes = {0, static_cast<uint8_t>(kind)};
        I(id);
    }
    CommandBytes& B(int v) {
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    CommandBytes& W(int v) { return B(v).B(v >> 8); }
    CommandBytes& L(int32_t v) { return W(v).W(v >> 16); }
    CommandBytes& P(const Point& p) { return W(p.x).W(p.y); }
    CommandBytes& I(const SimId& id) { return B(id.team).L(id.serial); }
    CommandBytes& S(const std::string& text, bool nul = true) {
        for (char c : text)
            B(c);
        return nul ? B(0) : *this;
    }
    // A 16-byte address field.
    CommandBytes& A(const std::string& text) {
        for (int i = 0; i < 16; ++i)
            B(i < static_cast<int>(text.size()) && i < 15 ? text[static_cast<size_t>(i)] : 0);
        return *this;
    }
    // A settings block: slot 1 'V' colour 1 .. the rest given.
    CommandBytes& Settings(int clan = 'V', int tech = 3, int resources = 5000, int repeat = -1) {
        B(4).B(clan).B(2).B(1).B(2).B(3).B(1);
        const int letters[4] = {'V', clan, 'X', 'X'};
        const int colours[4] = {1, 5, 254, 254};
        for (int i = 0; i < 4; ++i)
            B(letters[i]).B(colours[i]);
        for (int i = 0; i < 20; ++i)
            B(i == 19 && repeat >= 0 ? repeat : 19 - i);
        return B(tech).W(resources);
    }
    // The bytes with the length byte set (or forced).
    std::vector<uint8_t> Done(int forcedLength = -1) const {
        std::vector<uint8_t> out = bytes;
        out[0] = static_cast<uint8_t>(forcedLength >= 0 ? forcedLength : out.size());
        return out;
    }

private:
    std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> Message(const std::vector<std::vector<uint8_t>>& commands) {
    std::vector<uint8_t> out;
    for (const auto& c : commands)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}
inline std::vector<uint8_t> Message(std::initializer_list<std::vector<uint8_t>> commands) {
    return Message(std::vector<std::vector<uint8_t>>(commands));
}
