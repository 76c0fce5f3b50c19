// Entity records and the singly linked entity list that owns them.
#pragma once

#include <cstdint>
#include <memory>

#include "world/model.h"

namespace qv {

struct Vec3 {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

struct ModelInstance {
    const Model* model = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

enum EntityKind : int32_t {
    Fighter = 0,
    Bolt = 1,
    RepairPickup = 2,
    // Nothing creates this kind; the board reset clears it with shots and pickups.
    Bomb = 5,
    ShieldPickup = 6,
};

struct Entity {
    const Model* model = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    int32_t screen_x = 0;
    int32_t screen_y = 0;
    int32_t screen_size = 0;
    int32_t kind = Fighter;
    int32_t fire_cooldown = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t dz = 0;
    std::unique_ptr<Entity> next;

    Entity() = default;
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;
    // Releases the followers one by one, so a long list never recurses deeply.
    ~Entity();
};

// The head of the list; it is always the last of the three starting fighters.
using EntityList = std::unique_ptr<Entity>;

Vec3 make_vec3(int32_t x, int32_t y, int32_t z);
ModelInstance make_instance(const Model* model, Vec3 position);

// A new entity followed by `follower`; fire_cooldown and screen fields 0.
std::unique_ptr<Entity> new_entity(const ModelInstance& instance, int32_t kind, Vec3 velocity,
                                   std::unique_ptr<Entity> follower);

// Links e right after p (e takes p's old follower).
void insert_after(Entity& p, std::unique_ptr<Entity> e);

// Unlinks and releases p's follower; p must have one.
void remove_after(Entity& p);

// The three starting fighters: head (-24, -24, 200), then two at (10, 10, 200).
void build_starting_list(EntityList& list, const Model* tie);

}  // namespace qv
