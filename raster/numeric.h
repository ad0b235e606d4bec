#pragma once
// Deterministic numerics: the same bits on every target and C library. Every
// picture and sample is computed through these instead of the C library's
// transcendental functions, whose last bit differs between libraries.
#include <cstdint>

// Nearest integer, halves to the even neighbour.
std::int32_t Round(double x);
std::int64_t Round64(double x);

double Sine(double x);
double Cosine(double x);
double Exponential(double x);
double SquareRoot(double x);  // IEEE square root, correctly rounded
