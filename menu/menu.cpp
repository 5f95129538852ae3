// The title menu and the information screens.
#include "menu/menu.h"

#include <cstdio>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "engine/picture.h"
#include "shell/game_state.h"
#include "shell/window.h"

namespace {

constexpr int MENU_IMAGE_COUNT = 4;
constexpr int INFO_IMAGE_COUNT = 2;
constexpr int PAGE_WIDTH = 640, PAGE_HEIGHT = 480;
// Entry i shows the menu with entry i highlighted ("menubackground%d.bmp", i + 1).
BitmapImage menu_images[MENU_IMAGE_COUNT];
// Information screens 1 and 2 ("option%d.bmp", 2 and 3).
BitmapImage info_images[INFO_IMAGE_COUNT];

// A page is a picture of exactly its own size: a smaller one would leave it black, a larger one
// cropped. An unreadable page is still created, empty; start-up then fails, naming it.
int load_page(BitmapImage* image, const char* file_name, bool sets_palette) {
    int read = picture_load_sized(file_name, PAGE_WIDTH, PAGE_HEIGHT);
    if (read && sets_palette)
        palette_set_all(load_bitmap.palette);
    const int made = image_create(image, 0, 0, PAGE_WIDTH, PAGE_HEIGHT, 8);
    if (read && made)
        read = picture_copy(image, 0, 0);
    picture_unload();
    return read && made;
}

// An empty page draws nothing and leaves the cleared frame.
void draw_page(const BitmapImage* page) {
    static_cast<void>(image_draw(page, back_buffer, back_pitch, IMAGE_OPAQUE));
}

}  // namespace

int load_menu_images() {
    int all_read = 1;
    char name[80];
    for (int i = 0; i < MENU_IMAGE_COUNT; ++i) {
        std::snprintf(name, sizeof(name), "menubackground%d.bmp", i + 1);
        all_read &= load_page(&menu_images[i], name, false);
    }
    for (int j = 0; j < INFO_IMAGE_COUNT; ++j) {
        std::snprintf(name, sizeof(name), "option%d.bmp", j + 2);
        all_read &= load_page(&info_images[j], name, true);
    }
    return all_read;
}

void menu_draw() {
    switch (game_mode) {
        case MODE_MENU:
            if (menu_selection >= 0 && menu_selection < MENU_IMAGE_COUNT) {
                draw_page(&menu_images[menu_selection]);
            }
            break;
        case MODE_QUIT:
            window_post_quit(0);
            break;
        case MODE_INFO1:
        case MODE_INFO2:
            draw_page(&info_images[game_mode - 1]);
            break;
        default:
            break;
    }
}

void destroy_menu_images() {
    for (BitmapImage& image : menu_images)
        image_destroy(&image);
    for (BitmapImage& image : info_images)
        image_destroy(&image);
}
