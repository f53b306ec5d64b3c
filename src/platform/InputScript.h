#pragma once
// The input script of a headless run (QX_SCRIPT=file): timed window messages that replace the
// real keyboard and mouse. The format is described in the README ("Scripted input").
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct winx_ScriptStep {
    enum class Kind {
        KeyDown,
        KeyUp,
        Char,
        MouseMove,
        ButtonDown,
        ButtonUp,
        Capture,
        Activate,
        Deactivate,
        Quit,
        Checksum,
        // value: the game mode waited for, or one of the battle's states (kAwaitPaused ...);
        // x: the game time allowed in ms; y: a virtual key pressed once a second while waiting
        // (0: none), or pressButton clicked at pressAt instead. Run only when the time ran
        // out; the lines after it are timed from the moment the mode (or state) is reached.
        Await,
        // value: the team whose objects this machine owns are destroyed at the next tick; x: 1
        // for its factory alone.
        Destroy,
        // value: the team whose factory, if this machine owns it, nothing destroys from the
        // next tick on but a `destroy` (or its machine's loss).
        Spare,
        // value: the team whose factory, if this machine owns it, is spared no more and kept
        // one hit from its end, so that the next shot of anyone fells it.
        Wound,
        // value: the team whose factory this machine's computer player sends its combat units
        // against, as its all-out attack does.
        Attack,
        // A test's artifact (host only): value: the team at whose factory's roll-out point it
        // lies; x: its effect.
        Artifact,
        // A crafted peer: value: the team whose factory and units this machine tells the
        // others about (kind 57) from its own copies, as only that team's taker may.
        Forge,
        // A crafted peer's other words (for tests): value: a winx_CraftedWord; x, y: its
        // numbers, as the README's `craft` lines give them.
        Craft,
        // A barrier of a network run: value 1 (`pause`): the machine that answers for the
        // game pauses it; 0 (`resume`): the machine whose `pause` made the pause lifts it.
        Barrier
    };
    // What an await waits for beyond the game modes 1 to 10: a battle that stands paused, or
    // one that runs; team awaitTeam's units (any team's with 0) numbering awaitCount at least;
    // its factory, once seen standing, gone.
    static constexpr uint32_t kAwaitPaused = 101;
    static constexpr uint32_t kAwaitRunning = 102;
    static constexpr uint32_t kAwaitUnits = 103;
    static constexpr uint32_t kAwaitFallen = 104;
    Kind kind = Kind::Quit;
    // Milliseconds after the script started.
    uint32_t atMs = 0;
    // The virtual key, the character code, or the button letter 'L', 'M' or 'R'.
    uint32_t value = 0;
    int x = 0;
    int y = 0;
    // The capture (or checksum) name.
    std::string name;
    // An await's click while waiting: the button letter (0: none) and the position.
    uint32_t pressButton = 0;
    std::pair<int, int> pressAt{0, 0};
    int awaitTeam = 0;
    int awaitCount = 0;
};

class winx_InputScript {
public:
    static constexpr size_t kMaxFileBytes = 1 << 20;
    static constexpr size_t kMaxLineBytes = 4096;
    static constexpr uint32_t kMaxWaitMs = 3600000;
    static constexpr uint32_t kMaxTotalMs = 0x7FFFFFFF;
    static constexpr uint32_t kDefaultAwaitMs = 600000;
    static constexpr uint32_t kMaxAwaitUnits = 1000;

    // Parses a whole script. On failure returns 0, keeps no step and sets error to
    // "<sourceName>:<line>: <message>".
    int Parse(std::string_view text, const std::string& sourceName, std::string& error);
    // Reads and parses a file; errors as Parse, or "<path>: <message>" when it cannot be read.
    int Load(const std::string& path, std::string& error);

    // Runs every step that is due at `now`; the first call starts the script's time. A step
    // that `ready` (when given) holds back stops the run there; it and the steps after it run
    // on a later call.
    void Poll(uint32_t now, const std::function<void(const winx_ScriptStep&)>& run,
              const std::function<bool(const winx_ScriptStep&)>& ready = {});
    int Finished() const { return next >= steps.size(); }
    // Milliseconds from `now` until the next step is due: 0 before the script's time started
    // or when a step is due, UINT32_MAX when every step has run.
    uint32_t MsUntilNextStep(uint32_t now) const;
    const std::vector<winx_ScriptStep>& Steps() const { return steps; }

    // The virtual key of a key name or number as the script writes it; 0 when unknown.
    static uint32_t VirtualKeyByName(std::string_view name);

private:
    std::vector<winx_ScriptStep> steps;
    size_t next = 0;
    uint32_t start = 0;
    bool started = false;
    // While an await holds the script: when it began.
    bool awaiting = false;
    uint32_t awaitSince = 0;
    uint32_t lastPress = 0;
};
