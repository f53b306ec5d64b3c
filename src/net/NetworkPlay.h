#pragma once
// Puts network play into a World: its peer slots make TCP links (bound to the [COMMUNICATIONS]
// BIND address when one is set, on PORT), and each complete message a peer sends is applied by
// the command executor. The screens that receive set-up and reveal-map commands install their
// hooks here; until they do, those commands change nothing. The game speed is the World's.
#include <functional>
#include <memory>
#include <string>

class CommandReceivers;
class TcpEndpoint;
class World;
struct SetupSettings;

struct NetworkHooks {
    // SetupScreen::ApplyPeerSettings (settings, start flag, leave flag).
    std::function<void(const SetupSettings&, int, int)> applyPeerSettings;
    // BattleScreen::SetRevealMap.
    std::function<void(int)> setRevealMap;
};

NetworkHooks& TheNetworkHooks();

// The receivers of the unit classes' actions the game has today (replaceable by the classes
// that land later).
CommandReceivers& GameReceivers();
void SetGameReceivers(std::unique_ptr<CommandReceivers> receivers);

// Installs the link maker and the executor. An empty or non-dotted bind address binds every
// local address.
void InstallNetworkPlay(World& world, const std::string& bindAddress, int port);
// As above with the BIND and PORT settings of QX.INI.
void InstallNetworkPlay(World& world);
// The bind address setting; empty when unset or not a dotted IPv4 address.
std::string BindSetting();
