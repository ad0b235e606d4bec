#pragma once
// Deterministic numerics: the same bits on every target and C library. Every
// picture and sample is computed through these instead of the C library's
// transcendental functions, whose last bit differs between libraries. They
// use plain IEEE double arithmetic only (no wider intermediates), so an
// x86-64 build and an i686 build with SSE2 doubles agree bit for bit.
#include <cmath>
#include <cstdint>

namespace numeric_detail {
std::int32_t RoundBeyond(double x);  // Round for |x| >= 2^31 - 1 and NaN
// How many arguments SineOfEach and CosineOfEach take at a time: 8, 4 or 2,
// at most as many as the processor can (the default); returns the setting
// before. For tests, which check every width gives the same bits.
int UseLanes(int lanes);
}  // namespace numeric_detail

// Nearest integer, halves to the even neighbour (2.5 -> 2, -1.5 -> -2).
// Values beyond the result type saturate at its limits; NaN gives 0.
// Inline, as the shaded disc rounds three times per pixel: adding 2^52 to a
// magnitude below 2^52 pushes the fraction out of the significand, and the
// addition rounds it to even under the default rounding mode.
inline std::int32_t Round(double x) {
#if defined(__wasm__)
    // WebAssembly's nearest rounds halves to even, and its saturating
    // conversion gives the limits beyond them and 0 for NaN: two instructions.
    return __builtin_wasm_trunc_saturate_s_i32_f64(__builtin_rint(x));
#else
    const double magnitude = x < 0 ? -x : x;
    if (magnitude < 2147483647.0) {
        const double rounded = (magnitude + 0x1p52) - 0x1p52;
        return static_cast<std::int32_t>(x < 0 ? -rounded : rounded);
    }
    return numeric_detail::RoundBeyond(x);
#endif
}
std::int64_t Round64(double x);

// Within one unit in the last place of the true value for |x| up to about
// 1.6e6 (quadrant reduction by a three-part pi/2); further out the result
// stays deterministic but loses accuracy. Infinite or NaN input gives NaN.
double Sine(double x);
double Cosine(double x);

// out[k] = Sine(in[k]) or Cosine(in[k]) for k below count, the same bits as
// one call each, but cheaper for many arguments: the usual ones go through a
// body without branches that runs eight at a time where the processor has
// AVX-512, four where it has AVX2 and two elsewhere, and only those that need the finer reduction, or
// are infinite or NaN, are taken one by one. out must not overlap in.
void SineOfEach(const double* in, double* out, int count);
void CosineOfEach(const double* in, double* out, int count);

// Within one unit in the last place; overflows to +infinity above about
// 709.78 and underflows to 0 below about -745.13.
double Exponential(double x);

// IEEE square root, correctly rounded. Inline: the shaded disc takes one
// per pixel.
inline double SquareRoot(double x) {
    return std::sqrt(x);
}
