#pragma once
// A team's production building is made from a one-letter building type rather than a design
// code: the catalogue's building record names its chassis and drive, which become its design.
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"

class FactoryBuilding;

// The factory of the building record with that letter, under the id at the position, with the
// local flag; not yet listed (the World lists it). Null when the letter names no building
// record or the id's team is not one of the World's.
std::unique_ptr<FactoryBuilding> CreateBuildingSim(char letter, const SimId& id,
                                                   const Point& position, int local);
