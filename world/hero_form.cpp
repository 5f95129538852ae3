// The hero's two sizes: growing on the power-up, shrinking or dying when harmed. Both changes
// keep the bottom edge where it was and start the flickering form change.
#include "shell/game.h"
#include "world/level.h"

namespace {
// Carries facing, speed and animation pace over to the form taken into use.
void take_over(SpriteObject* next, int x, int y) {
    sprite_set_position(next, x, y);
    sprite_set_animation(next, hero->anim);
    sprite_set_velocity(next, static_cast<int>(hero->vx), static_cast<int>(hero->vy));
    sprite_set_anim_period(next, hero->anim_period);
    morph_from = hero;
    hero = next;
}
}  // namespace

void hero_grow() {
    if (hero_is_large != 0)
        return;
    hero_is_large = 1;
    take_over(&hero_large, static_cast<int>(hero->x), static_cast<int>(hero->y - hero->height));
}

void hero_hurt() {
    if (hero_is_large == 0 && morph_from == nullptr) {
        hero->frame = 10;  // the death picture
        hero->state = 2;
        hero->vy = -20;
        hero->vx = 0;
    } else if (hero_is_large == 1) {
        hero_is_large = 0;
        take_over(&hero_small, static_cast<int>(hero->x),
                  static_cast<int>(hero_small.height + hero->y));
    }
    // Otherwise a small hero still changing form: immune.
}
