// The glyph atlas made with the desktop program's own glyph source (SDL2_ttf and the
// program's font), at the three cell heights the program draws text in.
#pragma once

#include "platform/web/glyph_atlas.h"

// False when the font cannot be opened.
bool atlas_from_sdl(GlyphAtlas* atlas);
