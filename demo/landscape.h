#pragma once
// A rippling 64 x 64 height field seen from its near edge, drawn row by row
// from the far edge, each cell one quadrilateral coloured by its height.
#include <cstdint>

#include "raster/colour.h"
#include "raster/frame.h"

inline constexpr int LandscapeSize = 64;

// Height of sample (i, j) at phase T, from 0 to 1.
double LandscapeHeight(int i, int j, double animPhase);

// Colour of a cell whose near corner has height h: dark red at 0, white at 1.
Colour32 LandscapeColour(double h);

void DrawLandscape(const FrameView& frame, double animPhase);
