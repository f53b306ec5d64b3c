#include "screens/battle/BattleScreen.h"

#include "core/Bitmap.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "screens/battle/ControlPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

BattleScreen::BattleScreen() {
    scrollStep = Size(::scrollStep, ::scrollStep);
    miniMapColours.fill(254);
    miniMapColours['p'] = 97;
    miniMapColours['e'] = 97;
    miniMapColours['w'] = 92;
    miniMapColours['r'] = 45;
    miniMapColours['c'] = 27;
    miniMapColours[' '] = 27;
}

// The loaded objects are released by Unload; what is left here goes with the members.
BattleScreen::~BattleScreen() = default;
