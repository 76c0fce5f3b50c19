#include "world/entity.h"

#include <utility>

namespace qv {

Entity::~Entity() {
    // Detach each follower before it dies, so releasing a list of any length
    // takes constant stack.
    while (next) {
        std::unique_ptr<Entity> rest = std::move(next->next);
        next = std::move(rest);
    }
}

Vec3 make_vec3(int32_t x, int32_t y, int32_t z) { return Vec3{x, y, z}; }

ModelInstance make_instance(const Model* model, Vec3 position) {
    return ModelInstance{model, position.x, position.y, position.z};
}

std::unique_ptr<Entity> new_entity(const ModelInstance& instance, int32_t kind, Vec3 velocity,
                                   std::unique_ptr<Entity> follower) {
    auto e = std::make_unique<Entity>();
    e->model = instance.model;
    e->x = instance.x;
    e->y = instance.y;
    e->z = instance.z;
    e->kind = kind;
    e->fire_cooldown = 0;
    e->dx = velocity.x;
    e->dy = velocity.y;
    e->dz = velocity.z;
    e->next = std::move(follower);
    return e;
}

void insert_after(Entity& p, std::unique_ptr<Entity> e) {
    // A caller may already have handed p's follower to new_entity; then p has
    // none left to pass on and e keeps the one it was built with.
    if (p.next) e->next = std::move(p.next);
    p.next = std::move(e);
}

void remove_after(Entity& p) {
    if (!p.next) return;
    std::unique_ptr<Entity> gone = std::move(p.next);
    p.next = std::move(gone->next);
}

void build_starting_list(EntityList& list, const Model* tie) {
    // Each fighter goes in front of the one built before it, so the last one
    // built becomes the head and the walk reads them in reverse.
    const Vec3 still = make_vec3(0, 0, 0);
    EntityList built;
    built = new_entity(make_instance(tie, make_vec3(10, 10, 200)), Fighter, still, std::move(built));
    built = new_entity(make_instance(tie, make_vec3(10, 10, 200)), Fighter, still, std::move(built));
    built = new_entity(make_instance(tie, make_vec3(-24, -24, 200)), Fighter, still, std::move(built));
    list = std::move(built);
}

}  // namespace qv
