// The hero: its frame of keys, speeds, jumps, contacts, head bumps, pits and the goal; its two
// sizes, growing on the power-up and shrinking or dying when harmed.
#pragma once
#include "engine/sprite.h"

// The hero's whole frame; runs while the back surface is locked and ends with the scroll.
void hero_update();
// 1 when the hero stands on its support or on the floor.
int hero_on_ground();
// Gravity, the snap onto what carries the hero, and the push of a held jump.
void hero_fall();
// What a head bump does to a question block or brick, and to the enemies on it.
void bump_block(SpriteObject* block);
// Small to large, with the form change.
void hero_grow();
// Harm from an enemy: large to small with the form change, death when small, nothing while
// the small hero is still changing form.
void hero_hurt();
