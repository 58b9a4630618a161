// The configuration tool maps SDL 1.2 keys through the shared table: its numbers must be
// SDL's own.
#include <gtest/gtest.h>

#include "config/control_codes.h"

#ifdef KV_HAVE_SDL_KEYSYM
#include <SDL_keysym.h>

TEST(ControlCodesSdl, KeyNumbersAreSdlKeys) {
    struct Case { int32_t code; int32_t sdl; };
    const Case cases[] = {
        {29, SDLK_a}, {51, SDLK_w}, {54, SDLK_z}, {55, SDLK_0}, {64, SDLK_9},
        {65, SDLK_KP0}, {73, SDLK_KP8}, {74, SDLK_KP9}, {75, SDLK_LCTRL}, {76, SDLK_RCTRL},
        {77, SDLK_LSHIFT}, {78, SDLK_RSHIFT}, {79, SDLK_SPACE}, {80, SDLK_TAB},
        {81, SDLK_RETURN}, {82, SDLK_LALT}, {83, SDLK_RALT}, {84, SDLK_UP}, {85, SDLK_DOWN},
        {86, SDLK_LEFT}, {87, SDLK_RIGHT}, {88, SDLK_INSERT}, {89, SDLK_HOME}, {90, SDLK_END},
        {91, SDLK_DELETE}, {92, SDLK_PAGEUP}, {93, SDLK_PAGEDOWN}, {94, SDLK_KP_PERIOD},
        {95, SDLK_KP_DIVIDE}, {96, SDLK_KP_MULTIPLY}, {97, SDLK_KP_MINUS}, {98, SDLK_KP_PLUS},
        {99, SDLK_KP_ENTER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(control_code_info(c.code).SDLKEY, c.sdl) << c.code;
        EXPECT_EQ(control_code_from_sdl_key(c.sdl), c.code) << c.code;
    }
    EXPECT_EQ(control_code_from_sdl_key(SDLK_ESCAPE), 0);
}
#else
TEST(ControlCodesSdl, KeyNumbersAreSdlKeys) {
    GTEST_SKIP() << "SDL 1.2 headers not found; SDL key numbers not checked";
}
#endif
