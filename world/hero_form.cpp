// The hero's two sizes: growing on the power-up, shrinking or dying when harmed. Both changes
// keep the bottom edge where it was and start the flickering form change.
#include "engine/sound.h"
#include "world/hero.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {
constexpr float DEATH_JUMP = -20;

// Carries facing, speed and animation pace over to the form taken into use; position and
// speed as whole numbers.
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
        hero->frame = HERO_DEATH_FRAME;
        hero->state = HERO_DYING;
        hero->vy = DEATH_JUMP;
        hero->vx = 0;
        sound_event_from(SOUND_DEATH, hero);
    } else if (hero_is_large == 1) {
        hero_is_large = 0;
        take_over(&hero_small, static_cast<int>(hero->x),
                  static_cast<int>(hero_small.height + hero->y));
        sound_event_from(SOUND_SHRINK, hero);
    }
    // Otherwise a small hero still changing form: immune.
}
