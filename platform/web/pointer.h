// Pointer positions on the page back to frame pixels, whatever size the canvas is shown at.
// No Emscripten in here, so the tests can link it.
#pragma once

// The frame pixel (0 to frame_size - 1) shown at pos CSS pixels into an element that shows
// frame_size pixels over size CSS pixels; -1 when pos lies outside it or size is empty.
int frame_pixel_at(double pos, double size, int frame_size);
