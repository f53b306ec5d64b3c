#include "platform/InputScript.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/ScriptHooks.h"

namespace {

struct KeyName {
    const char* name;
    uint32_t vk;
};

// Names as Windows spells them after "VK_", plus the everyday ones.
constexpr KeyName kKeyNames[] = {
    {"BACK", VK_BACK},
    {"BACKSPACE", VK_BACK},
    {"TAB", VK_TAB},
    {"RETURN", VK_RETURN},
    {"ENTER", VK_RETURN},
    {"SHIFT", VK_SHIFT},
    {"CONTROL", VK_CONTROL},
    {"CTRL", VK_CONTROL},
    {"MENU", VK_MENU},
    {"ALT", VK_MENU},
    {"PAUSE", VK_PAUSE},
    {"CAPITAL", VK_CAPITAL},
    {"CAPSLOCK", VK_CAPITAL},
    {"ESCAPE", VK_ESCAPE},
    {"ESC", VK_ESCAPE},
    {"SPACE", VK_SPACE},
    {"PRIOR", VK_PRIOR},
    {"PAGEUP", VK_PRIOR},
    {"NEXT", VK_NEXT},
    {"PAGEDOWN", VK_NEXT},
    {"END", VK_END},
    {"HOME", VK_HOME},
    {"LEFT", VK_LEFT},
    {"UP", VK_UP},
    {"RIGHT", VK_RIGHT},
    {"DOWN", VK_DOWN},
    {"SNAPSHOT", VK_SNAPSHOT},
    {"PRINTSCREEN", VK_SNAPSHOT},
    {"INSERT", VK_INSERT},
    {"DELETE", VK_DELETE},
    {"F1", VK_F1},
    {"F2", VK_F1 + 1},
    {"F3", VK_F1 + 2},
    {"F4", VK_F1 + 3},
    {"F5", VK_F1 + 4},
    {"F6", VK_F1 + 5},
    {"F7", VK_F1 + 6},
    {"F8", VK_F1 + 7},
    {"F9", VK_F1 + 8},
    {"F10", VK_F1 + 9},
    {"F11", VK_F1 + 10},
    {"F12", VK_F1 + 11},
    {"NUMPAD0", VK_NUMPAD0},
    {"NUMPAD1", VK_NUMPAD0 + 1},
    {"NUMPAD2", VK_NUMPAD0 + 2},
    {"NUMPAD3", VK_NUMPAD0 + 3},
    {"NUMPAD4", VK_NUMPAD0 + 4},
    {"NUMPAD5", VK_NUMPAD0 + 5},
    {"NUMPAD6", VK_NUMPAD0 + 6},
    {"NUMPAD7", VK_NUMPAD0 + 7},
    {"NUMPAD8", VK_NUMPAD0 + 8},
    {"NUMPAD9", VK_NUMPAD0 + 9},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A decimal number of at most nine digits; nothing else.
std::optional<uint32_t> ParseNumber(std::string_view word) {
    if (word.empty() || word.size() > 9) return std::nullopt;
    uint32_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

// Joins message parts (appending avoids a false -Wrestrict alarm of g++ 12 on operator+).
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

bool AwaitMet(uint32_t waitedFor) {
    if (waitedFor == winx_ScriptStep::kAwaitPaused)
        return winx_ScriptBattleState() == winx_ScriptBattle::Paused;
    if (waitedFor == winx_ScriptStep::kAwaitRunning)
        return winx_ScriptBattleState() == winx_ScriptBattle::Running;
    return static_cast<uint32_t>(winx_ScriptGameMode()) == waitedFor;
}

bool AwaitMet(const winx_ScriptStep& step) {
    if (step.value == winx_ScriptStep::kAwaitUnits) {
        for (int team = 1; team <= 4; ++team) {
            if ((step.awaitTeam == 0 || step.awaitTeam == team) &&
                winx_ScriptTeamUnits(team) >= step.awaitCount)
                return true;
        }
        return false;
    }
    if (step.value == winx_ScriptStep::kAwaitFallen) return winx_ScriptFactoryFell(step.awaitTeam);
    return AwaitMet(step.value);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        size_t begin = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > begin) words.push_back(line.substr(begin, i - begin));
    }
    return words;
}

// One line's parse: the steps it adds and the time it waits, or a message.
struct LineParser {
    std::vector<winx_ScriptStep>& steps;
    uint32_t& clock;
    std::string error;

    bool Fail(std::string message) {
        error = std::move(message);
        return false;
    }

    void Add(winx_ScriptStep::Kind kind, uint32_t value = 0, int x = 0, int y = 0,
             std::string name = {}) {
        winx_ScriptStep step;
        step.kind = kind;
        step.atMs = clock;
        step.value = value;
        step.x = x;
        step.y = y;
        step.name = std::move(name);
        steps.push_back(std::move(step));
    }

    bool Position(std::string_view xWord, std::string_view yWord, int& x, int& y) {
        auto px = ParseNumber(xWord);
        auto py = ParseNumber(yWord);
        if (!px || !py) return Fail("a position is two numbers: x y");
        if (*px >= static_cast<uint32_t>(kWinxScreenWidth) ||
            *py >= static_cast<uint32_t>(kWinxScreenHeight))
            return Fail("position outside the 640 x 480 picture");
        x = static_cast<int>(*px);
        y = static_cast<int>(*py);
        return true;
    }

    bool Wait(const std::vector<std::string_view>& words) {
        if (words.size() < 2 || words.size() > 3 ||
            (words.size() == 3 && !EqualNoCase(words[2], "ms")))
            return Fail("usage: wait N [ms]");
        auto ms = ParseNumber(words[1]);
        if (!ms) return Fail("'wait' needs a number of milliseconds");
        if (*ms > winx_InputScript::kMaxWaitMs) return Fail("a wait may last at most 3600000 ms");
        if (clock > winx_InputScript::kMaxTotalMs - *ms) return Fail("the script runs too long");
        clock += *ms;
        return true;
    }

    bool Key(const std::vector<std::string_view>& words, bool down, bool up) {
        if (words.size() != 2) return Fail(Concat({"usage: ", words[0], " KEY"}));
        uint32_t vk = winx_InputScript::VirtualKeyByName(words[1]);
        if (vk == 0) return Fail(Concat({"unknown key '", words[1], "'"}));
        if (down) Add(winx_ScriptStep::Kind::KeyDown, vk);
        if (up) Add(winx_ScriptStep::Kind::KeyUp, vk);
        return true;
    }

    bool Char(const std::vector<std::string_view>& words) {
        if (words.size() != 2) return Fail("usage: char CODE");
        auto code = ParseNumber(words[1]);
        if (!code || *code < 1 || *code > 255) return Fail("a character code is 1 to 255");
        Add(winx_ScriptStep::Kind::Char, *code);
        return true;
    }

    bool Text(std::string_view rest) {
        size_t i = 0;
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        if (i >= rest.size() || rest[i] != '"') return Fail("usage: text \"characters\"");
        ++i;
        std::string chars;
        bool closed = false;
        for (; i < rest.size(); ++i) {
            char c = rest[i];
            if (c == '"') {
                closed = true;
                ++i;
                break;
            }
            if (c == '\\') {
                if (++i >= rest.size()) break;
                c = rest[i];
                if (c != '"' && c != '\\') return Fail("only \\\" and \\\\ are escapes");
            }
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
                return Fail("text holds printable ASCII characters only");
            chars.push_back(c);
        }
        if (!closed) return Fail("text is missing its closing quote");
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        if (i < rest.size()) return Fail("unexpected words after the text");
        // Capitals are typed with Shift held, as a player types them: the game keeps a capital
        // only while Shift is down.
        bool shift = false;
        for (char c : chars) {
            const bool capital = c >= 'A' && c <= 'Z';
            if (capital != shift)
                Add(capital ? winx_ScriptStep::Kind::KeyDown : winx_ScriptStep::Kind::KeyUp,
                    VK_SHIFT);
            shift = capital;
            Add(winx_ScriptStep::Kind::Char, static_cast<unsigned char>(c));
        }
        if (shift) Add(winx_ScriptStep::Kind::KeyUp, VK_SHIFT);
        return true;
    }

    bool Move(const std::vector<std::string_view>& words) {
        if (words.size() != 3) return Fail("usage: move X Y");
        int x = 0, y = 0;
        if (!Position(words[1], words[2], x, y)) return false;
        Add(winx_ScriptStep::Kind::MouseMove, 0, x, y);
        return true;
    }

    // "L|M|R X Y" from words[first] on.
    bool ButtonAt(const std::vector<std::string_view>& words, size_t first, uint32_t& button,
                  int& x, int& y) {
        button = 0;
        if (words[first].size() == 1) {
            char c = static_cast<char>(std::toupper(static_cast<unsigned char>(words[first][0])));
            if (c == 'L' || c == 'M' || c == 'R') button = static_cast<uint32_t>(c);
        }
        if (button == 0) return Fail("the button is L, M or R");
        return Position(words[first + 1], words[first + 2], x, y);
    }

    bool Button(const std::vector<std::string_view>& words, bool down, bool up) {
        if (words.size() != 4) return Fail(Concat({"usage: ", words[0], " L|M|R X Y"}));
        uint32_t button = 0;
        int x = 0, y = 0;
        if (!ButtonAt(words, 1, button, x, y)) return false;
        if (down) Add(winx_ScriptStep::Kind::ButtonDown, button, x, y);
        if (up) Add(winx_ScriptStep::Kind::ButtonUp, button, x, y);
        return true;
    }

    bool Capture(const std::vector<std::string_view>& words,
                 winx_ScriptStep::Kind kind = winx_ScriptStep::Kind::Capture) {
        if (words.size() != 2)
            return Fail(kind == winx_ScriptStep::Kind::Capture ? "usage: capture NAME"
                                                               : "usage: checksum NAME");
        std::string_view name = words[1];
        // The name becomes a file name: keep it to one harmless path component.
        bool good = name.size() <= 64 && name[0] != '.';
        for (char c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
                good = false;
        }
        if (!good)
            return Fail("a capture name is 1 to 64 of A-Z a-z 0-9 _ - . and starts with no dot");
        Add(kind, 0, 0, 0, std::string(name));
        return true;
    }

    // await units TEAM|any COUNT [MS] | await fallen TEAM [MS]
    bool AwaitTeam(const std::vector<std::string_view>& words) {
        const bool units = EqualNoCase(words[1], "units");
        const size_t least = units ? 4 : 3;
        constexpr const char* kUsage =
            "usage: await units TEAM|any COUNT [MS] | await fallen TEAM [MS] (TEAM 1 to 4, COUNT 1 "
            "to 1000, MS 1 to 2147483647)";
        if (words.size() < least || words.size() > least + 1) return Fail(kUsage);
        // `any`: a team of the four, whichever builds first.
        const bool anyTeam = units && EqualNoCase(words[2], "any");
        const uint32_t team = anyTeam ? 0 : ParseNumber(words[2]).value_or(0);
        const uint32_t count = units ? ParseNumber(words[3]).value_or(0) : 1;
        const uint32_t ms = words.size() > least ? ParseNumber(words[least]).value_or(0)
                                                 : winx_InputScript::kDefaultAwaitMs;
        if ((!anyTeam && team < 1) || team > 4 || count < 1 ||
            count > winx_InputScript::kMaxAwaitUnits || ms < 1 ||
            ms > winx_InputScript::kMaxTotalMs)
            return Fail(kUsage);
        Add(winx_ScriptStep::Kind::Await,
            units ? winx_ScriptStep::kAwaitUnits : winx_ScriptStep::kAwaitFallen,
            static_cast<int>(ms));
        steps.back().awaitTeam = static_cast<int>(team);
        steps.back().awaitCount = static_cast<int>(count);
        return true;
    }

    bool Await(const std::vector<std::string_view>& words) {
        if (words.size() >= 2 &&
            (EqualNoCase(words[1], "units") || EqualNoCase(words[1], "fallen")))
            return AwaitTeam(words);
        const bool clicking = words.size() == 7 && EqualNoCase(words[3], "click");
        if (words.size() < 2 || (words.size() > 4 && !clicking))
            return Fail("usage: await MODE [MS [KEY | click L|M|R X Y]]");
        uint32_t mode = 0;
        if (EqualNoCase(words[1], "paused")) {
            mode = winx_ScriptStep::kAwaitPaused;
        } else if (EqualNoCase(words[1], "running")) {
            mode = winx_ScriptStep::kAwaitRunning;
        } else if (auto number = ParseNumber(words[1]); number && *number >= 1 && *number <= 10) {
            mode = *number;
        }
        if (mode == 0) return Fail("a game mode is 1 to 10, paused or running");
        uint32_t limit = winx_InputScript::kDefaultAwaitMs;
        // The limit comes with or without the key pressed while waiting.
        if (words.size() >= 3) {
            auto ms = ParseNumber(words[2]);
            if (!ms || *ms < 1 || *ms > winx_InputScript::kMaxTotalMs)
                return Fail("an await lasts 1 to 2147483647 ms");
            limit = *ms;
        }
        uint32_t key = 0;
        if (words.size() == 4) {
            key = winx_InputScript::VirtualKeyByName(words[3]);
            if (key == 0) return Fail(Concat({"unknown key ", words[3]}));
        }
        uint32_t button = 0;
        int x = 0, y = 0;
        if (clicking && !ButtonAt(words, 4, button, x, y)) return false;
        Add(winx_ScriptStep::Kind::Await, mode, static_cast<int>(limit), static_cast<int>(key));
        steps.back().pressButton = button;
        steps.back().pressAt = {x, y};
        return true;
    }

    bool Destroy(const std::vector<std::string_view>& words) {
        auto team = words.size() == 2 || words.size() == 3 ? ParseNumber(words[1]) : std::nullopt;
        winx_DestroyScope scope = winx_DestroyScope::All;
        if (words.size() == 3 && EqualNoCase(words[2], "factory"))
            scope = winx_DestroyScope::Factory;
        if (words.size() == 3 && EqualNoCase(words[2], "units")) scope = winx_DestroyScope::Units;
        if (!team || *team > 4 || (words.size() == 3 && scope == winx_DestroyScope::All))
            return Fail("usage: destroy TEAM [factory|units] (TEAM 0 to 4)");
        Add(winx_ScriptStep::Kind::Destroy, *team, static_cast<int>(scope));
        return true;
    }

    // A line naming one team, 1 to 4: spare, wound, attack, forge.
    bool TeamLine(const std::vector<std::string_view>& words, winx_ScriptStep::Kind kind,
                  std::string_view name) {
        auto team = words.size() == 2 ? ParseNumber(words[1]) : std::nullopt;
        if (!team || *team < 1 || *team > 4)
            return Fail(Concat({"usage: ", name, " TEAM (TEAM 1 to 4)"}));
        Add(kind, *team);
        return true;
    }

    bool Artifact(const std::vector<std::string_view>& words) {
        auto team = words.size() == 3 ? ParseNumber(words[1]) : std::nullopt;
        auto effect = words.size() == 3 ? ParseNumber(words[2]) : std::nullopt;
        if (!team || *team < 1 || *team > 4 || !effect || *effect < 1 || *effect > 5)
            return Fail("usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)");
        Add(winx_ScriptStep::Kind::Artifact, *team, static_cast<int>(*effect));
        return true;
    }

    // craft hits TEAM COUNT | craft weapon TEAM | craft wrecks COUNT VALUE |
    // craft mark old|future|huge TICKS | craft pause PLAYER | craft factoryhits TEAM COUNT
    // [WEAPON] | craft factoryshots TEAM COUNT [WEAPON] | craft goals COUNT
    bool Craft(const std::vector<std::string_view>& words) {
        constexpr const char* kUsage =
            "usage: craft hits TEAM COUNT | weapon TEAM | wrecks COUNT VALUE | "
            "mark old|future|huge TICKS | pause PLAYER | factoryhits TEAM COUNT [WEAPON] | "
            "factoryshots TEAM COUNT [WEAPON] | goals COUNT (TEAM and PLAYER 1 to 4, COUNT and "
            "TICKS 1 to 1000, VALUE 1 to 100000, goals 1 to 100000, WEAPON a clan and a role "
            "letter)";
        auto number = [&](size_t i, uint32_t low, uint32_t high) -> std::optional<uint32_t> {
            auto n = i < words.size() ? ParseNumber(words[i]) : std::nullopt;
            if (!n || *n < low || *n > high) return std::nullopt;
            return n;
        };
        const std::string_view what = words.size() >= 2 ? words[1] : std::string_view();
        std::optional<uint32_t> x, y = 0u;
        winx_CraftedWord word = winx_CraftedWord::Hits;
        const bool factoryHits = EqualNoCase(what, "factoryhits");
        const bool factoryShots = EqualNoCase(what, "factoryshots");
        if ((EqualNoCase(what, "hits") && words.size() == 4) ||
            ((factoryHits || factoryShots) && (words.size() == 4 || words.size() == 5))) {
            if (factoryHits) word = winx_CraftedWord::FactoryHits;
            if (factoryShots) word = winx_CraftedWord::FactoryShots;
            x = number(2, 1, 4);
            y = number(3, 1, 1000);
            // The weapon's clan and role letters ride above the team's byte.
            if (x && words.size() == 5) {
                const std::string_view weapon = words[4];
                if (weapon.size() == 2)
                    *x |= static_cast<uint32_t>(static_cast<unsigned char>(weapon[0])) << 8 |
                          static_cast<uint32_t>(static_cast<unsigned char>(weapon[1])) << 16;
                else
                    x.reset();
            }
        } else if (EqualNoCase(what, "weapon") && words.size() == 3) {
            word = winx_CraftedWord::Weapon;
            x = number(2, 1, 4);
        } else if (EqualNoCase(what, "wrecks") && words.size() == 4) {
            word = winx_CraftedWord::Wrecks;
            x = number(2, 1, 1000);
            y = number(3, 1, 100000);
        } else if (EqualNoCase(what, "mark") && words.size() == 4) {
            word = winx_CraftedWord::Mark;
            for (uint32_t i = 0; i < 3; ++i)
                if (EqualNoCase(words[2], std::array{"old", "future", "huge"}[i])) x = i;
            y = number(3, 1, 1000);
        } else if (EqualNoCase(what, "pause") && words.size() == 3) {
            word = winx_CraftedWord::OneLinkPause;
            x = number(2, 1, 4);
        } else if (EqualNoCase(what, "goals") && words.size() == 3) {
            word = winx_CraftedWord::Goals;
            x = number(2, 1, 100000);
        }
        if (!x || !y) return Fail(kUsage);
        Add(winx_ScriptStep::Kind::Craft, static_cast<uint32_t>(word), static_cast<int>(*x),
            static_cast<int>(*y));
        return true;
    }

    bool Bare(const std::vector<std::string_view>& words, winx_ScriptStep::Kind kind) {
        if (words.size() != 1) return Fail(Concat({"'", words[0], "' takes no arguments"}));
        Add(kind);
        return true;
    }

    bool Line(std::string_view line) {
        std::vector<std::string_view> words = SplitWords(line);
        if (words.empty() || words[0][0] == '#') return true;
        std::string_view command = words[0];
        using Kind = winx_ScriptStep::Kind;
        if (EqualNoCase(command, "wait")) return Wait(words);
        if (EqualNoCase(command, "keydown")) return Key(words, true, false);
        if (EqualNoCase(command, "keyup")) return Key(words, false, true);
        if (EqualNoCase(command, "key")) return Key(words, true, true);
        if (EqualNoCase(command, "char")) return Char(words);
        if (EqualNoCase(command, "text")) {
            size_t at = line.find(command) + command.size();
            return Text(line.substr(at));
        }
        if (EqualNoCase(command, "move")) return Move(words);
        if (EqualNoCase(command, "down")) return Button(words, true, false);
        if (EqualNoCase(command, "up")) return Button(words, false, true);
        if (EqualNoCase(command, "click")) return Button(words, true, true);
        if (EqualNoCase(command, "capture")) return Capture(words);
        if (EqualNoCase(command, "checksum")) return Capture(words, Kind::Checksum);
        if (EqualNoCase(command, "activate")) return Bare(words, Kind::Activate);
        if (EqualNoCase(command, "deactivate")) return Bare(words, Kind::Deactivate);
        if (EqualNoCase(command, "quit")) return Bare(words, Kind::Quit);
        if (EqualNoCase(command, "await")) return Await(words);
        if (EqualNoCase(command, "destroy")) return Destroy(words);
        if (EqualNoCase(command, "spare")) return TeamLine(words, Kind::Spare, "spare");
        if (EqualNoCase(command, "wound")) return TeamLine(words, Kind::Wound, "wound");
        if (EqualNoCase(command, "attack")) return TeamLine(words, Kind::Attack, "attack");
        if (EqualNoCase(command, "artifact")) return Artifact(words);
        if (EqualNoCase(command, "forge")) return TeamLine(words, Kind::Forge, "forge");
        if (EqualNoCase(command, "craft")) return Craft(words);
        if (EqualNoCase(command, "pause") || EqualNoCase(command, "resume")) {
            if (!Bare(words, Kind::Barrier)) return false;
            steps.back().value = EqualNoCase(command, "pause") ? 1 : 0;
            return true;
        }
        return Fail(Concat({"unknown command '", command, "'"}));
    }
};

}  // namespace

uint32_t winx_InputScript::VirtualKeyByName(std::string_view name) {
    if (name.size() > 3 && EqualNoCase(name.substr(0, 3), "VK_")) name.remove_prefix(3);
    if (name.empty()) return 0;
    if (name.size() == 1) {
        unsigned char c =
            static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    if (auto number = ParseNumber(name)) return (*number >= 1 && *number <= 254) ? *number : 0;
    for (const KeyName& key : kKeyNames) {
        if (EqualNoCase(name, key.name)) return key.vk;
    }
    return 0;
}

int winx_InputScript::Parse(std::string_view text, const std::string& sourceName,
                            std::string& error) {
    steps.clear();
    next = 0;
    started = false;
    std::vector<winx_ScriptStep> parsed;
    uint32_t clock = 0;
    LineParser parser{parsed, clock, {}};
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        ++lineNumber;
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        bool ok = true;
        if (line.size() > kMaxLineBytes) {
            ok = parser.Fail("line longer than 4096 characters");
        } else if (line.find('\0') != std::string_view::npos) {
            ok = parser.Fail("line holds a NUL character");
        } else {
            ok = parser.Line(line);
        }
        if (!ok) {
            error = Concat({sourceName, ":", std::to_string(lineNumber), ": ", parser.error});
            return 0;
        }
    }
    steps = std::move(parsed);
    return 1;
}

int winx_InputScript::Load(const std::string& path, std::string& error) {
    // A FIFO or device in the script's place would hold the start for good: regular files only.
    std::string why;
    std::FILE* file = winx_OpenRegularFile(path, "rb", why);
    if (!file) {
        error = Concat({path, ": cannot open the script: ", why});
        return 0;
    }
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (text.size() > kMaxFileBytes) break;
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = Concat({path, ": cannot read the script"});
        return 0;
    }
    if (text.size() > kMaxFileBytes) {
        error = Concat({path, ": the script is larger than 1 MiB"});
        return 0;
    }
    return Parse(text, path, error);
}

void winx_InputScript::Poll(uint32_t now, const std::function<void(const winx_ScriptStep&)>& run,
                            const std::function<bool(const winx_ScriptStep&)>& ready) {
    if (!started) {
        started = true;
        start = now;
    }
    uint32_t elapsed = now - start;
    while (next < steps.size() && steps[next].atMs <= elapsed) {
        const winx_ScriptStep& step = steps[next];
        if (step.kind == winx_ScriptStep::Kind::Await) {
            if (!awaiting) {
                awaiting = true;
                awaitSince = now;
                lastPress = now;
            }
            if (!AwaitMet(step)) {
                if (now - awaitSince >= static_cast<uint32_t>(step.x)) {
                    run(step);
                    return;
                }
                // A key pressed (or a click) until the mode comes: a program whose turn depends
                // on others (a host waiting for its guests' reports, a guest for the host's
                // set-up) goes on as soon as it may.
                if ((step.y != 0 || step.pressButton != 0) && now - lastPress >= 1000) {
                    lastPress = now;
                    winx_ScriptStep press;
                    const bool click = step.pressButton != 0;
                    press.kind =
                        click ? winx_ScriptStep::Kind::ButtonDown : winx_ScriptStep::Kind::KeyDown;
                    press.value = click ? step.pressButton : static_cast<uint32_t>(step.y);
                    press.x = step.pressAt.first;
                    press.y = step.pressAt.second;
                    run(press);
                    press.kind =
                        click ? winx_ScriptStep::Kind::ButtonUp : winx_ScriptStep::Kind::KeyUp;
                    run(press);
                }
                return;
            }
            // Everything after the await is timed from now.
            awaiting = false;
            start = now - step.atMs;
            elapsed = now - start;
            ++next;
            continue;
        }
        if (ready && !ready(step)) return;
        ++next;
        run(step);
    }
}

uint32_t winx_InputScript::MsUntilNextStep(uint32_t now) const {
    if (Finished()) return UINT32_MAX;
    if (!started) return 0;
    // A held await looks again each frame.
    if (awaiting) return 16;
    const uint32_t elapsed = now - start;
    return std::max(steps[next].atMs, elapsed) - elapsed;
}
