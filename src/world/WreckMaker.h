#pragma once
// How the World makes a wreck in its death pass without knowing the wreck class: the objects
// code installs a maker (World::makeWreck) that builds a wreck of kind 3 from this description.
// The wreck stands on the ground layer with a filter of kind 2; the maker leaves the team
// record and the cargo to the World.
#include <functional>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "core/Size.h"

class GameObject;
class Image;

struct WreckDescription {
    Point position;
    Size size;
    // Not owned; the catalogue keeps it.
    Image* picture = nullptr;
    SimId id;
    char clan = 'X';
    char chassis = 'X';
};

using WreckMaker = std::function<std::unique_ptr<GameObject>(const WreckDescription&)>;

// The game's maker: a Wreck of the objects code, move delay 0, no maximum damage.
std::unique_ptr<GameObject> MakeWreck(const WreckDescription& description);
