#pragma once
// The landscape's 7,938 triangles of one frame as plain data, so that another
// renderer can be handed exactly what DrawLandscape fills.
#include <cstdint>
#include <vector>

#include "raster/colour.h"
#include "raster/frame.h"

struct ScreenTriangle {
    std::int32_t x[3], y[3];
    Colour32 colour;
};

// The cells row by row from the far edge, each as FillQuad splits it:
// (A, B, C), then (D, C, B).
std::vector<ScreenTriangle> LandscapeTriangles(double animPhase);

// Fills the triangles with the toolkit's FillTriangle, in order.
void FillTriangles(const std::vector<ScreenTriangle>& triangles, const FrameView& frame);

// True when filling the triangles gives exactly the picture DrawLandscape
// draws for the same phase.
bool TrianglesMatchLandscape(double animPhase);
