#include "StringLines.h"

#include <string>

#include "CatalogueContent.h"

namespace mkassets {

namespace {

struct Line {
    int number;
    const char* text;
};

// Texts used as printf formats carry exactly the conversions their callers pass.
constexpr Line kLines[] = {
    {0, "Quarnex"},
    {1, "VARNOK"},
    {2, "TELMIRA"},
    {3, "Yes"},
    {4, "No"},
    {5, "OK"},
    {6, "Cancel"},
    // The library's questions, broken into lines that fit their box with a name of 30
    // characters, the names quoted so that they read as names.
    {7, "Keep the changes made to\\n\"%s\"?"},
    {8, "Replace the design\\n\"%s\"\\nwith \"%s\"?"},
    {9, "Part"},
    {10, "Cr"},
    {11, "Ore"},
    {12, "Chassis"},
    {13, "Drive"},
    {14, "Mount %d"},
    {15, "Totals"},
    {16, "Secs"},
    {17, "Credits"},
    {18, "Ore"},
    {19, "Behaviour settings"},
    {20, "Standing orders: none"},
    {21, "Engage the nearest enemy"},
    {22, "Standing orders: none"},
    {23, "Return fire when attacked"},
    {24, "Seek out targets"},
    {25, "Attack, give up lost targets"},
    {26, "Attack, give up lost targets"},
    {27, "Attack, keep the target"},
    {28, "Busy: repair at %d percent damage, apart"},
    {29, "Busy: repair at %d percent damage"},
    {30, "Idle: repair at %d percent damage"},
    {31, "Focus fire on one target"},
    {32, "Each weapon its own target"},
    {197, "Nobody can join yet:\\npress OK to let players in."},
    {198, "Type the host's name or\\naddress, then press OK."},
    {199, "%d player(s) joined.\\nPress OK to start."},
    {200, "Connecting to the host..."},
    {201, "New design"},
    {220, "Connected. Waiting for\\nthe host to start..."},
    {221, "MISSION"},
    {222, "  Combat\\n  Speed\\n  Kills\\n  Lost\\n  Time"},
    {223, "PLAYERS"},
    {224, "Cr\\nOre\\nSec"},
    {225, "Linking the players..."},
    {226, "none"},
    {227, "A structure: it cannot carry mounts."},
    {228, "empty"},
    {229, "Open the build panel and choose the Miner design."},
    {230, "Press Build to queue the Miner at your factory."},
    {231, "The Miner is on its way. Watch it find the nearest ore."},
    {232, "Next, choose the Scout Infrared design in the build panel."},
    {233, "Press Build to queue the Scout Infrared."},
    {234, "Now choose the Detection Relay design."},
    {235, "Press Build to queue the Detection Relay."},
    {236, "Click the Detection Relay to select it once it is out."},
    {237, "Move the relay to open ground; click it again to deploy."},
    {238, "On open ground, click the selected relay to deploy it."},
    {239, "The relay is up. Now select your Scout Infrared."},
    {240, "Scout ahead with the Scout Infrared to find more ore."},
    {241, "Close the build panel to see more of the map."},
    {242, "Keep scouting until you find another ore field."},
    {243, "Ore found! Select your factory to move it closer."},
    {244, "Your factory can move: select it first."},
    {245, "Click next to the new ore to move the factory there."},
    {246, "The factory is on its way; it unfolds where it stops."},
    {247, "The factory is on the ore. Press the right button to clear the selection."},
    {248, "Open the build panel again."},
    {249, "Choose the Assault Hover design in the build panel."},
    {250, "Press Build three times to queue three Assault Hovers."},
    {251, "Now choose the Weapon Relay design."},
    {252, "Press Build to queue the Weapon Relay."},
    {253, "The Weapon Relay will strengthen nearby units."},
    {254, "Deploy the Weapon Relay next to your factory."},
    {255, "The Weapon Relay stands. Press the right button to clear the selection."},
    {256, "Now select three Assault Hovers: drag a box round them."},
    {257, "Close the build panel so you can see your hovers."},
    {258, "Send the selected hovers out to find the enemy."},
    {259, "An enemy unit! Send your hovers to attack it."},
    {260, "Click an enemy to attack it with the selected hovers."},
    {261, "Well done. Build more Assault Hovers for the final push."},
    {262, "Find the enemy base and destroy every enemy unit."},
    {263, "Enemy units in sight. Attack them!"},
    {264, "Victory! You have finished the training mission."},
    {265, "New group"},
    {288, "Training"},
    {289, "Skirmish"},
    {290, "Green Valley"},
    {291, "Dust Basin"},
    {292, "Island Maze"},
    {293, "Twin Rivers"},
    {294, "Proving Ground"},
    {295, "Long Front"},
    {300, "The game could not be saved."},
    {301, "This saved game is damaged and cannot be loaded."},
    {302, "The mission data is missing or damaged."},
    {303, "No room for more saved games: delete one first."},
    {304, "Player %d sent damaged data and was disconnected."},
    {305, "Player %d stopped answering and was disconnected."},
    {306, "The high-score file was damaged: the table starts empty."},
    {307, "The high-score table could not be saved."},
    {308, "No host given: type the\\nhost's name or address."},
    {314, "The list of saved games is damaged: games it lost are shown by file name."},
    {315, "The game was not deleted: the list of saved games could not be written."},
    {316, "The high-score file is damaged: it is left in place and not written over. Rows kept:"},
    {317, "The file of this saved game is missing."},
    {318, "The file of this saved game cannot be read:"},
    {319, "The list of saved games cannot be read: it is kept as it is, games show by file name."},
    {320, "The design library was damaged and is kept aside as"},
    {321, "The designs could not be saved."},
    {322, "Saved, but not added to the list of saved games, which cannot be read."},
    {323, "Saved. The list of saved games cannot be read and is kept as it is."},
    {324, "The game was not deleted: the list of saved games cannot be read."},
    {325,
     "The design library is damaged and could not be moved aside: design changes are not saved."},
    {326, "The high-score file was damaged and is kept aside. Rows kept:"},
    {327, "The high-score file cannot be read and is kept as it is:"},
    {328, "Your score is shown, but not written: the high-score file cannot be read:"},
    // 329 and 330 end with the library's file name; each, with the name, fits the design
    // screen's free status band (50 characters) and the battle's status box.
    {329, "Design library unreadable, left as it is:"},
    {330, "Designs kept this run, saved once readable:"},
    {310, "Explore the map"},
    {311, "Attack automatically"},
    {312, "Player %d was lost.\\nLinking again."},
    {313, "A player was lost.\\nLinking again."},
    {333, "Refused a player of\\nversion %d; this is %d."},
    {334, "The host is version %d,\\nthis is version %d: no game."},
};

struct Mission {
    const char* place;
    const char* task;
};

// Briefings of the eleven missions of each clan: where, and what wins the mission. Each fits
// the mission text box (a title line, then a few short lines). A briefing names only what its
// land shows: a pass, a lake, a ford... is drawn on the mission's own land (LandMaker), and the
// missions on the open campaign land name no water or heights.
constexpr Mission kTelmiraMissions[11] = {
    {"Ardent Shelf", "Destroy the VARNOK\\nfactory to win."},
    {"Cinder Ford", "Wipe out the raiders:\\ndestroy their factory."},
    {"Glass Dunes", "The enemy factory\\nholds its army back.\\nDestroy it."},
    {"Orrin Ridge", "Destroy the VARNOK\\nfactory beyond the\\nridge."},
    {"Salt Claim", "Unfold your factory\\non the marked ore\\nfield to win."},
    {"Hollow Crown", "Destroy the VARNOK\\nfactory in the crater."},
    {"Iron Steps", "Destroy the enemy\\nfactory before it\\noverruns you."},
    {"Pale River", "Destroy the factory\\nacross the river."},
    {"Sunken Gate", "Break through and\\ndestroy the factory."},
    {"Ember Fields", "Destroy the enemy\\nfactory on the plain."},
    {"Quarnex", "The final battle.\\nDestroy every VARNOK\\nfactory."},
};

constexpr Mission kVarnokMissions[11] = {
    {"Black Cairn", "Destroy the TELMIRA\\nfactory to win."},
    {"Thorn Pass", "Hold the pass and\\ndestroy their factory."},
    {"Ash Lake", "Destroy the TELMIRA\\nfactory by the lake."},
    {"Red Mesa", "Destroy the TELMIRA\\nfactory below the\\nmesa."},
    {"Wolf's Oath", "Destroy the enemy\\nfactory. Then the\\nally turns: beat it."},
    {"Silent Bay", "Destroy the factory\\nbeyond the bay."},
    {"Gallows Rock", "Wipe out the TELMIRA\\noutpost's factory."},
    {"Iron Veil", "Destroy the factory\\nthat builds spiders."},
    {"Storm Front", "Destroy both enemy\\nfactories."},
    {"Grey Hollow", "Destroy every enemy\\nunit; repairers do\\nnot count."},
    {"Quarnex", "The last stand.\\nDestroy the TELMIRA\\nfactory."},
};

constexpr int kTelmiraMissionFirst = 266;
constexpr int kVarnokMissionFirst = 277;

std::string Placeholder(int number) {
    const std::string n = std::to_string(number);
    if (number >= CatalogueContent::kFirstTextLine && number <= CatalogueContent::kLastTextLine)
        return "Catalogue text " + n + ": reserved";
    if (number >= 202 && number <= 219) return "Interface text " + n + ": reserved";
    if (number >= 295 && number <= 349) return "Scenario text " + n + ": reserved";
    return "Text " + n + ": reserved";
}

std::string Briefing(int mission, const Mission& m) {
    return std::to_string(mission) + ". " + m.place + "\\n" + m.task;
}

}  // namespace

std::string MissionTask(char clan, int mission) {
    if (mission < 1 || mission > 11 || (clan != 'T' && clan != 'V')) return std::string();
    std::string task = (clan == 'T' ? kTelmiraMissions : kVarnokMissions)[mission - 1].task;
    for (size_t at = task.find("\\n"); at != std::string::npos; at = task.find("\\n", at))
        task.replace(at, 2, " ");
    return task;
}

std::vector<std::string> BuildStringLines() {
    std::vector<std::string> lines(StringLines::kLineCount);
    for (int i = 0; i < StringLines::kLineCount; ++i)
        lines[static_cast<size_t>(i)] = Placeholder(i);
    for (int i = 0; i < 11; ++i) {
        lines[static_cast<size_t>(kTelmiraMissionFirst + i)] = Briefing(i + 1, kTelmiraMissions[i]);
        lines[static_cast<size_t>(kVarnokMissionFirst + i)] = Briefing(i + 1, kVarnokMissions[i]);
    }
    for (const Line& line : kLines)
        lines[static_cast<size_t>(line.number)] = line.text;
    for (const auto& [number, text] : CatalogueContent::Describe().textLines) {
        if (number >= 0 && number < StringLines::kLineCount)
            lines[static_cast<size_t>(number)] = text;
    }
    return lines;
}

std::vector<uint8_t> StringTableFile(const std::vector<std::string>& lines) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) bytes.push_back('\r');
        bytes.insert(bytes.end(), lines[i].begin(), lines[i].end());
    }
    return bytes;
}

}  // namespace mkassets
