// Perspective projection and wireframe drawing of the entities.
#pragma once

#include <array>
#include <cstdint>

#include "platform/frame.h"
#include "world/entity.h"

namespace qv {

// floor(1024 * 0.97^depth) for depth 0 to 255; 8 fraction bits.
using DepthScaleTable = std::array<int32_t, 256>;

// A fixed table of whole numbers: the game runs without floating point.
const DepthScaleTable& depth_scale_table();

// The table entry for a depth, with depths outside 0..255 held to the nearest end.
int32_t depth_scale(int32_t depth);

// Draws one entity seen from `camera` and stores its screen_x, screen_y and
// screen_size. Drawing writes these three fields because the laser's hit test
// in the same frame must use exactly the spot the player saw.
void render_entity(FrameBuffer& frame, Entity& entity, const Vec3& camera);

// The camera sits at (-steer_x, -steer_y, camera_z).
Vec3 camera_position(int32_t steer_x, int32_t steer_y, int32_t camera_z);

// The per-frame pass over the list; it stops at the first model with fewer than
// 1 or more than 25 lines.
void render_entities(FrameBuffer& frame, EntityList& list, const Vec3& camera);

}  // namespace qv
