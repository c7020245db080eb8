// Toolbar pictures in every look: the neutral ink of a picture becomes the look's text colour, and
// a colour that would sink into the window behind it is raised until it stands out.
#pragma once

#include "shell/theme_colors.h"

#include <string>
#include <string_view>

namespace rux {

// A dark, nearly grey colour: what the pictures draw their outlines and glyphs with.
bool IsNeutralInk(CRgb c);

// The picture (SVG text) for a look: neutral inks are replaced by `ink`; on a dark window every
// colour, on a light one every stroke, that has less than 3:1 against `window` is mixed towards
// white (dark window) or black (light window) until it has. Light fills on light windows stay: they
// are paper inside an outline.
std::string ThemedSvg(std::string_view svg, CRgb ink, CRgb window);

} // namespace rux
