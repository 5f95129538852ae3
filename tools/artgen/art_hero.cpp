// Dorvo, the hero: small and large forms, drawn as text maps facing right; the left-facing
// frames are mirrors.
#include <vector>

#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixmap.h"

namespace {

const LegendEntry hero_legend_entries[] = {
    {'o', C_INK},         {'a', C_CAP + 0},     {'b', C_CAP + 1},     {'c', C_CAP + 2},
    {'d', C_CAP + 3},     {'e', C_CAP + 4},     {'1', C_SKIN + 0},    {'2', C_SKIN + 1},
    {'3', C_SKIN + 2},    {'4', C_SKIN + 3},    {'5', C_SKIN + 4},    {'t', C_COAT + 0},
    {'u', C_COAT + 1},    {'v', C_COAT + 2},    {'w', C_COAT + 3},    {'x', C_COAT + 4},
    {'y', C_COAT + 5},    {'p', C_TROUSER + 0}, {'q', C_TROUSER + 1}, {'r', C_TROUSER + 2},
    {'s', C_TROUSER + 3}, {'k', C_BOOT + 0},    {'l', C_BOOT + 1},    {'m', C_BOOT + 2},
    {'n', C_BOOT + 3},    {'f', C_SCARF + 0},   {'g', C_SCARF + 1},   {'h', C_SCARF + 2},
    {'i', C_SCARF + 3},   {'6', C_HAIR + 0},    {'7', C_HAIR + 1},    {'8', C_HAIR + 2},
    {'E', C_EYE},         {'W', C_WHITE},       {'G', C_GOLD + 4},    {'F', C_GOLD + 2},
};
const Legend hero_legend = {hero_legend_entries, static_cast<int>(sizeof hero_legend_entries /
                                                                  sizeof hero_legend_entries[0])};

// Small form: the head (with the scarf knot) is shared by every frame; bodies below it.
const char* const small_head = R"(
........................
...........oooo.........
.........oodeeedoo......
........obcdeeeeddo.....
..oo...obccddeeddddo....
.odeo.obccccdddddddco...
.ocddobbccccccccccccbo..
..occbbbbcccccccccccbo..
...oo.oeeddeeddeeddeedo.
......obccbccbccbccbcbo.
.......o7764455555444o..
.......o763444454E44E4o.
.......o763444444E44E4o.
.......o763444444444444o
.......o6634444ii44432o.
........o6334444444432o.
........oo33333333333o..
.......ofgghhhiiiihhgo..
)";

// The death picture's head: eyes squeezed shut, mouth open.
const char* const small_head_dazed = R"(
........................
...........oooo.........
.........oodeeedoo......
........obcdeeeeddo.....
..oo...obccddeeddddo....
.odeo.obccccdddddddco...
.ocddobbccccccccccccbo..
..occbbbbcccccccccccbo..
...oo.oeeddeeddeeddeedo.
......obccbccbccbccbcbo.
.......o7764455555444o..
.......o763444454EE4EEo.
.......o763444444444444o
.......o7634444444444E4o
.......o6634444ii444fEo.
........o6334444444432o.
........oo33333333333o..
.......ofgghhhiiiihhgo..
)";

const char* const small_body_stand = R"(
......ofggghhhhhhhggfo..
.....ofgo.owxwwwwwwvvuo.
.....ogho.owxwwtwwwvvuo.
.....ogfo.owwwwtwwwvuuo.
......oo..owwwwtwwvvuto.
..........owwwwtw44vuto.
..........ottuuot43uuto.
..........okklGGkkkkkko.
...........oqrrqoqrrqo..
...........oqrqqooqrqo..
.........oklmmlo.oklmmo.
.........olmnnmo.olmnnmo
.........ollllmo.ollllmo
.........ooooooo.ooooooo
)";

const char* const small_body_run1 = R"(
.oooooofggghhhhhhhggfo..
ohhiiggfooowxwwwwwvvvuo.
.offggooooowxwwwwwvvuuo.
..oooo.o44owwwwwwvvuuto.
.......o43owwwwwwvvuuto.
........oooowwwwvvvuuto.
..........ottuuuuuuutto.
..........okklGGkkkkkko.
..........opqqpoqrrrsqo.
.........opqqpo..oqrrsqo
........opqpo.....oqrsqo
.......opqo......oqrsqo.
......okllo......olmnnno
.....oooo........oooooo.
)";

const char* const small_body_run2 = R"(
......ofggghhhhhhhggfo..
.ooooggfo.owxwwwwwwvvuo.
ohiiggfo..owxwwtwwwvvuo.
.oooo.....owwwwtwwwvuuo.
..........owwwwtwwvvuto.
..........owwwwtw44vuto.
..........ottuuot43uuto.
..........okklGGkkkkkko.
..........opqqoqrrrsqo..
.........opqqooqrrsqo...
......oklpqo..oqrsqo....
.....okllo....oqrsqo....
......ooo....olmmnnmo...
.............ooooooooo..
)";

const char* const small_body_run3 = R"(
..ooo.ofggghhhhhhhggfo..
.ohiioofgoowxwwwwwvvvuo.
..offo....owxwwwwwvvu44o
...oo.....owwwwwwvvuu43o
..........owwwwwwvvuutoo
..........owwwwwvvvuuto.
..........ottuuuuuuutto.
..........okklGGkkkkkko.
..........oqrrsqopqqqqpo
.........oqrsqo.oppqqqpo
........oqrsqo.....opqpo
......olmqqo.......okllo
.....olmnno.......oklllo
.....oooooo.......oooooo
)";

const char* const small_body_jump = R"(
.oooooofggghhhhhhhggf44o
ohhiiggfo.owxwwwwwvvu43o
.offggoo..owxwwwwwvvuuoo
..oooo....owwwwwwwvvuto.
..........owwwwwwvvuuto.
..........owwwwwvvvuuto.
..........ottuuuuuuutto.
..........okklGGkkkkkko.
.........opqqpqrrrrsqqo.
........opqqpooqrrrrssqo
.......opqpo.....olmnnmo
......okllo......olmnnmo
.....okllo........oooooo
.....oooo...............
)";

Canvas frame(const char* name, const char* map) {
    return pixmap_read(name, map, hero_legend);
}

// Large form: the same head over a grown body.
const char* const large_body_stand = R"(
......oggghhhhhhhhhgggo.
.......offgggggggggffoo.
.......ohooxwwwowowvvuo.
.......oo.oxwwoxwuovvuo.
.......oo.oxwwoxwuovvuo.
......oho.oxwwoxwuovvuo.
......oho.oxwwoxwuovvuo.
......oho.oxwwoxwuovvuo.
......oho.oxwwoxwuovvuo.
......oho.oxwwoxwuovvuo.
.......o..oxwwoxwuovvuo.
..........oxwwwoxuovvuo.
..........okkkGoooookko.
..........oxwwwoo4oovuo.
..........oxwwwwo4ovvuo.
..........oxwwwwwowvvuo.
..........oxwwwwwwwvvuo.
.........oxwwwwwwwwovuuo
.........oxwwwwwwoosoouo
.........oxwwwwwwosrqouo
.........ottttttosrrrqoo
.........oooooooosrrrqoo
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orqqqposrrrqo.
..........orooooosooooo.
...........omllllonmmmmo
...........omllllonmmmmm
...........omllllonmmmmm
...........ooooooooooooo
)";

const char* const large_body_run1 = R"(
......oggghhhhhhhhhgggo.
....ooooffgggggggggffoo.
..ooihooo.oxwwowowwvvuo.
.oihoo....oxwoxwuowvvuo.
oioo......oxoxwuowwvvuo.
.o........ooxwwuowwvvuo.
..........oxwwuowwwvvuo.
.........oxwwuowwwwvvuo.
........oxwwuowwwwwvvuo.
........ooowuowwwwwvvuo.
.......oo4ouowwwwwwvvuo.
........o4oowwwwwwwvvuo.
.........ookkkGGkkkkkko.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
.........oxwwwwwwwovvuuo
.........oxwwwwwoosoouuo
.........oxwwwwwosrqouuo
.........otttttosrrrqoto
.........oooooooosrrqooo
..........orqqqposrrqo..
..........orqqqposrrqo..
.........orqqqpoosrrqo..
.........orqqqpoosrrrqo.
........orqqqpo.osrrrqo.
........orqqqpo..osrrqo.
........orqqpo...osrrqo.
.......orqqqpo...osrrqo.
.......orqqpo....osrrqo.
......orqqqpo....osrrrqo
......orqqpo.....osrrrqo
.....orqqqpo.....osrrrqo
.....orqqpo......osrrrqo
....orqqqpo......osrrrqo
....orqqpo.......osrrrqo
...orooooo.......osrrrqo
....omlllloo.....osrrrqo
....omlllllko....osrrrqo
....omlllllko....osrrrqo
....ooooooooo....osooooo
..................onmmmm
..................onmmmm
..................onmmmm
..................oooooo
)";

const char* const large_body_run2 = R"(
......oggghhhhhhhhhgggo.
......ooffgggggggggffoo.
....ooioo.oxwwwowowvvuo.
...oioo...oxwwoxwuovvuo.
..oho.....oxwwoxwuovvuo.
.oho......oxwwoxwuovvuo.
oho.......oxwwoxwuovvuo.
.o........oxwwoxwuovvuo.
..........oxwwoxwuovvuo.
..........oxwwoxwuovvuo.
..........oxwwwoxuovvuo.
..........oxwwwoxuovvuo.
..........okkkGoooookko.
..........oxwwwoo4oovuo.
..........oxwwwwo4ovvuo.
..........oxwwwwwowvvuo.
..........oxwwwwwwwvvuo.
.........oxwwwwwwowvvuuo
.........oxwwwwoosoovuuo
.........oxwwwwosrqovuuo
.........ottttosrrrqotto
.........oooooosrrrqoooo
...........orqosrrrqo...
...........orqosrrrqo...
..........orqqosrrrqo...
..........orqqosrrrqo...
..........orqqosrrrqo...
........oorqqqosrrrqo...
......oorqqqqqosrrrqo...
.....orqqqqqqposrrrqo...
.....orqqqqqqposrrrqo...
....oroooooqooosrrrqo...
.....omlllloooosrrrqo...
.....omlllllkoosrrqo....
.....omlllllkoosrrqo....
.....oooooooooosrrqo....
..............osrrqo....
..............osrrqo....
..............osrrqo....
..............osrrqo....
.............osrrrqo....
.............osooooo....
..............onmmmmoo..
..............onmmmmmlo.
..............onmmmmmlo.
..............ooooooooo.
)";

const char* const large_body_run3 = R"(
.ooooooggghhhhhhhhhgggo.
oihhhhooffgggggggggffoo.
.ooooo....oxwwwowowvvuo.
..........oxwwoxwuovvuo.
..........oxwwwoxwuovuo.
..........oxwwwoxwwuouo.
..........oxwwwwoxwwuoo.
..........oxwwwwwoxwwuo.
..........oxwwwwwwoxwooo
..........oxwwwwwwwoxo4o
..........oxwwwwwwwvoo4o
..........oxwwwwwwwvvuo.
..........okkkGGkkkkkko.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwowwwvvuo.
.........oxwwoosoowvvuuo
.........oxwwosrqowvvuuo
.........oxwosrrrqovvuuo
.........ottosrrqottttto
.........ooosrrrqooooooo
...........osrrrqoqqqpo.
..........osrrrqorqqqqpo
..........osrrrqoorqqqpo
.........osrrrqo.orqqqqp
.........osrrrqo..orqqqp
........osrrrqo...orqqpo
.......osrrrrqo...orqqpo
.......osrrrqo....orqqpo
......osrrrrqo....orqqpo
.....osrrrrqo.....orqqpo
....osrrrrqo......orqqpo
....osrrrqo......orqqqpo
...osoooooo......orooooo
....onmmmmoo......omllll
....onmmmmmlo.....omllll
....onmmmmmlo.....omllll
....ooooooooo.....oooooo
........................
........................
........................
........................
........................
........................
........................
)";

const char* const large_body_jump = R"(
......oggghhhhhhhhhgggo.
...oooooffgggggggggffoo.
.ooihhooo.oxwwwoxwwuouo.
oihooo....oxwwoxwwuovuo.
.oo.......oxwwwoxoovvuo.
..........oxwwwwowwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........okkkGGkkkkkko.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
..........oxwwwwwwwvvuo.
.........oxwwwwwwowvvuuo
.........oxwwwwoosoovuuo
.........oxwwwwosrrqouuo
.........ottttosrrrrqoto
.........ooooooosrrrqooo
..........orqqposrrrrqo.
..........orqqpoosrrrrqo
..........orqqpo.osrrrrq
.........orqqqpo..osrrrq
.........orqqpo...osrrrr
.........orqqpo....osrrq
.........orqqpo....osrrq
.........orqqpo....osrrq
........orqqqpo...osrrrq
........orqqpo....osrrrq
.......orqqqpo....osrrqo
.......orqqqpo....osrrqo
.......orqqpo.....osrrqo
......orqqqpo....osooooo
......orqqqpo.....onmmmm
......orqqpo......onmmmm
.....orooooo......onmmmm
......omlllloo....oooooo
......omlllllko.........
......omlllllko.........
......ooooooooo.........
........................
........................
........................
)";

// A frame of head over body, shifted up by lift rows (the running flight pose).
Canvas small_frame(const char* head, const char* body, const char* name, int lift) {
    Canvas h = frame(name, head), b = frame(name, body);
    Canvas out(24, 32, C_KEY);
    out.blit(h, 0, -lift, -1);
    out.blit(b, 0, h.height - lift, C_KEY);
    return out;
}

Canvas flipped_upside_down(const Canvas& c) {
    Canvas out(c.width, c.height, C_KEY);
    for (int y = 0; y < c.height; ++y)
        out.blit_part(c, 0, y, c.width, 1, 0, c.height - 1 - y, -1);
    return out;
}

}  // namespace

std::vector<Canvas> hero_small_frames() {
    std::vector<Canvas> right;
    right.push_back(small_frame(small_head, small_body_stand, "small stand", 0));
    right.push_back(small_frame(small_head, small_body_run1, "small run 1", 0));
    right.push_back(small_frame(small_head, small_body_run2, "small run 2", 0));
    right.push_back(small_frame(small_head, small_body_run3, "small run 3", 1));
    right.push_back(small_frame(small_head, small_body_jump, "small jump", 0));
    std::vector<Canvas> out = right;
    for (const Canvas& c : right)
        out.push_back(c.mirrored());
    // Knocked out: tumbling head over heels as it drops off the screen.
    out.push_back(
        flipped_upside_down(small_frame(small_head_dazed, small_body_run2, "small death", 0)));
    return out;
}

std::vector<Canvas> hero_large_frames() {
    auto large = [](const char* body, const char* name, int lift) {
        Canvas h = frame(name, small_head), b = frame(name, body);
        Canvas out(24, 64, C_KEY);
        out.blit(h, 0, -lift, -1);
        out.blit(b, 0, h.height - lift, C_KEY);
        return out;
    };
    std::vector<Canvas> right;
    right.push_back(large(large_body_stand, "large stand", 0));
    right.push_back(large(large_body_run1, "large run 1", 0));
    right.push_back(large(large_body_run2, "large run 2", 0));
    right.push_back(large(large_body_run3, "large run 3", 1));
    right.push_back(large(large_body_jump, "large jump", 0));
    std::vector<Canvas> out = right;
    for (const Canvas& c : right)
        out.push_back(c.mirrored());
    return out;
}
