// The HUD's two lines as the game draws them: the labels, and the format of the values under
// them (score, coins, time left), with where each line starts.
#pragma once

extern const char* const hud_label;
extern const char* const hud_values_format;
inline constexpr int HUD_LABEL_X = 50, HUD_LABEL_Y = 10;
inline constexpr int HUD_VALUES_X = 40, HUD_VALUES_Y = 25;
