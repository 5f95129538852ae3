// The walking enemies: walking, reversing, falling and standing on blocks, stomps and harm in
// the update; removal, the squash display and its points in the drawing pass.
#pragma once

// Every walking enemy on screen, in index order; runs while the back surface is locked.
void skivits_update();
// Every enemy on screen: removal below the screen, the walk animation, the squash display
// and its award.
void skivits_draw();
