#pragma once
// Deterministic numerics: the same bits on every target and C library. Every
// picture and sample is computed through these instead of the C library's
// transcendental functions, whose last bit differs between libraries. They
// use plain IEEE double arithmetic only (no wider intermediates), so an
// x86-64 build and an i686 build with SSE2 doubles agree bit for bit.
#include <cstdint>

// Nearest integer, halves to the even neighbour (2.5 -> 2, -1.5 -> -2).
// Values beyond the result type saturate at its limits; NaN gives 0.
std::int32_t Round(double x);
std::int64_t Round64(double x);

// Within one unit in the last place of the true value for |x| up to about
// 1.6e6 (quadrant reduction by a three-part pi/2); further out the result
// stays deterministic but loses accuracy. Infinite or NaN input gives NaN.
double Sine(double x);
double Cosine(double x);

// Within one unit in the last place; overflows to +infinity above about
// 709.78 and underflows to 0 below about -745.13.
double Exponential(double x);

double SquareRoot(double x);  // IEEE square root, correctly rounded
