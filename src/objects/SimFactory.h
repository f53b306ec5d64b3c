#pragma once
// Units from designs: the unit class a design calls for (its chassis and drive decide), the
// making of the unit, and its listing in the World. The hand-over of the design is explicit:
// a unit that is made takes it, and a unit the World refuses gives it back.
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "objects/UnitMakers.h"

class PictureTemplate;
class Sim;
class VehicleDesign;

// The class by the table's tests in order: carrier chassis 'g', a deployable chassis, capture
// chassis 't', an air drive, scavenger 'h', miner 'f', repair 'k', else a plain unit. The
// design has a chassis.
SimClass ClassForDesign(const VehicleDesign& design);
// The role picture the class's constructor takes (scavenger, miner, repair), else null.
PictureTemplate* RoleForClass(SimClass kind, const VehicleDesign& design);

// The unit of the design's class under the id at the position, owning the design (design is
// then null); a class without an installed maker gives a plain Sim. Null without a chassis:
// the design stays with the caller. The design's noCharge flag is 0 afterwards.
std::unique_ptr<Sim> CreateSim(std::unique_ptr<VehicleDesign>& design, const SimId& id,
                               const Point& position);
// CreateSim, the local flag, and the listing in the World, which owns the unit then. When the
// World refuses it, the unit is deleted and the design comes back to the caller; null then,
// and for a design without a chassis.
Sim* SpawnSim(std::unique_ptr<VehicleDesign>& design, const SimId& id, const Point& position,
              int local);
