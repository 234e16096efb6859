#pragma once

#include "MeshBuilder.h"

namespace dusk::assetgen {

// The castle at the origin, ground level y = 0: curtain walls with crenellations round a
// courtyard of about 48 x 48, four round corner towers, a gate in the west wall between two
// gate towers (open below a high lintel, for the intro flight in and out), a keep with two
// turrets east of the centre, a hall against the north wall, a stair and a well. Everything
// reaches one unit below the ground so that no light shows under a wall.
MeshBuilder buildCastle();

}  // namespace dusk::assetgen
