#include "game/controls.h"

namespace qv {

namespace {

constexpr int32_t near_edge = 20;
constexpr int32_t far_edge_x = 300;
constexpr int32_t far_edge_y = 180;
constexpr int32_t steer_step = 2;
constexpr int32_t steer_limit = 20;
constexpr int32_t cooled_energy = 120;

}  // namespace

void steering_step(GameState& s, const PointerBlock& p) {
    // Four independent tests: a corner moves both offsets in the same frame.
    if (p.pointer_x < near_edge && s.steer_x < steer_limit) s.steer_x += steer_step;
    if (p.pointer_x > far_edge_x && s.steer_x > -steer_limit) s.steer_x -= steer_step;
    if (p.pointer_y < near_edge && s.steer_y < steer_limit) s.steer_y += steer_step;
    if (p.pointer_y > far_edge_y && s.steer_y > -steer_limit) s.steer_y -= steer_step;
}

void laser_step(GameState& s, bool& firing, const ButtonBlock& buttons) {
    if (firing) {
        s.laser_energy -= 1;
        if (s.laser_energy == 0) {
            firing = false;
            s.laser_overheated = 1;
        }
    }
    // Recovery starts in the very frame the energy ran out, so it ends that frame at 1.
    if (!firing && s.laser_energy < full_energy) {
        s.laser_energy += 1;
        if (s.laser_energy == cooled_energy) s.laser_overheated = 0;
    }
    firing = buttons.left_button != 0 && s.laser_overheated == 0;
}

void camera_step(GameState& s) { s.camera_z += 1; }

}  // namespace qv
