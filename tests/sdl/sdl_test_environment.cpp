// The SDL backend's tests run on SDL's dummy video and audio drivers whoever starts them (ctest,
// CI, a developer's shell), so that they need neither a display nor a sound device. A driver
// named in the environment already is kept.
#include <cstdlib>

namespace {

// Set before any test runs, once; its value is never read.
const bool dummy_drivers = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

}  // namespace
