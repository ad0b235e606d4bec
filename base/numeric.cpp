#include "base/numeric.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/processor.h"

// Everything here is plain double arithmetic in a fixed order: with SSE2
// doubles and no contraction every target produces the same bits. The
// polynomials are minimax fits on the reduced ranges, accurate to below one
// unit in the last place.

namespace {

constexpr double TwoPow52 = 0x1p52;

// Nearest integral double, halves to even. Adding 2^52 to a magnitude below
// 2^52 pushes the fraction out of the significand, and the addition rounds it
// to even under the default rounding mode; larger magnitudes are integral.
double RoundToIntegral(double x) {
    const double magnitude = std::fabs(x);
    if (!(magnitude < TwoPow52)) {
        return x;  // already integral, infinite or NaN
    }
    const double rounded = (magnitude + TwoPow52) - TwoPow52;
    return std::signbit(x) ? -rounded : rounded;
}

// ---- sine and cosine -----------------------------------------------------

// pi/2 split into pieces of 33 significant bits, so n * piece is exact for
// every quadrant count n below 2^20; each *t constant is the rest of pi/2
// after the pieces before it.
constexpr double InvHalfPi = 0x1.45f306dc9c883p-1;
constexpr double HalfPi1 = 0x1.921fb54400000p+0;
constexpr double HalfPi1Tail = 0x1.0b4611a626331p-34;
constexpr double HalfPi2 = 0x1.0b4611a600000p-34;
constexpr double HalfPi2Tail = 0x1.3198a2e037073p-69;
constexpr double HalfPi3 = 0x1.3198a2e000000p-69;
constexpr double HalfPi3Tail = 0x1.b839a252049c1p-104;
constexpr double QuarterPi = 0x1.921fb54442d18p-1;

// sin(x) ~ x + S1 x^3 + ... + S6 x^13 on [-pi/4, pi/4].
constexpr double S1 = -0x1.5555555555549p-3;
constexpr double S2 = 0x1.111111110f8a6p-7;
constexpr double S3 = -0x1.a01a019c161d5p-13;
constexpr double S4 = 0x1.71de357b1fe7dp-19;
constexpr double S5 = -0x1.ae5e68a2b9cebp-26;
constexpr double S6 = 0x1.5d93a5acfd57cp-33;

// cos(x) ~ 1 - x^2/2 + C1 x^4 + ... + C6 x^14 on [-pi/4, pi/4].
constexpr double C1 = 0x1.555555555554cp-5;
constexpr double C2 = -0x1.6c16c16c15177p-10;
constexpr double C3 = 0x1.a01a019cb1590p-16;
constexpr double C4 = -0x1.27e4f809c52adp-22;
constexpr double C5 = 0x1.1ee9ebdb4b1c4p-29;
constexpr double C6 = -0x1.8fae9be8838d4p-37;

int Exponent(double x) {
    return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7FF);
}

// A reduced argument: x = n * pi/2 + (high + low), |high + low| <= ~pi/4.
struct Reduced {
    std::int64_t quadrant;
    double high;
    double low;
};

// Takes n * piece off the remainder r, exactly, carrying what the rounding
// of n * tail leaves in w; high is the new leading part.
inline void TakeOffPiece(double n, double piece, double tail, double& r, double& w, double& high) {
    const double t = r;
    w = n * piece;
    r = t - w;
    w = n * tail - ((t - r) - w);
    high = r - w;
}

// Cody-Waite reduction with up to three pieces of pi/2: each further piece is
// used only when the previous difference cancelled so many bits that the
// rounding of n * tail would show in the result. Exact in n * HalfPi1 for
// |x| up to 2^20 pi/2 (about 1.6e6); beyond that the result stays the same
// on every target but loses accuracy. Nothing the show draws gets near it.
Reduced ReduceHalfPi(double x) {
    const double n = RoundToIntegral(x * InvHalfPi);
    const int inputExponent = Exponent(x);
    double r = x - n * HalfPi1;
    double w = n * HalfPi1Tail;
    double high = r - w;
    if (inputExponent - Exponent(high) > 16) {
        TakeOffPiece(n, HalfPi2, HalfPi2Tail, r, w, high);
        if (inputExponent - Exponent(high) > 49) {
            TakeOffPiece(n, HalfPi3, HalfPi3Tail, r, w, high);
        }
    }
    const double low = (r - high) - w;
    return {static_cast<std::int64_t>(n), high, low};
}

// sin(x + y) for |x + y| <= pi/4, y a small correction to x. Written once
// for a double and for a pair of them, so both take the same operations.
// The result goes by reference, the way four-lane values may pass through
// code built for two.
template <typename Real>
[[gnu::always_inline]] inline void SineKernelInto(const Real& x, const Real& y, Real& sine) {
    const Real z = x * x;
    const Real v = z * x;
    const Real r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    sine = x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

inline double SineKernel(double x, double y) {
    double sine;
    SineKernelInto(x, y, sine);
    return sine;
}

// cos(x + y) for |x + y| <= pi/4. 1 - x^2/2 is formed with its rounding error
// carried along, which keeps the result within one unit in the last place.
template <typename Real>
[[gnu::always_inline]] inline void CosineKernelInto(const Real& x, const Real& y, Real& cosine) {
    const Real z = x * x;
    const Real zz = z * z;
    const Real r = z * (C1 + z * (C2 + z * C3)) + zz * zz * (C4 + z * (C5 + z * C6));
    const Real halfZ = 0.5 * z;
    const Real w = 1.0 - halfZ;
    cosine = w + (((1.0 - w) - halfZ) + (z * r - x * y));
}

inline double CosineKernel(double x, double y) {
    double cosine;
    CosineKernelInto(x, y, cosine);
    return cosine;
}

}  // namespace

std::int32_t numeric_detail::RoundBeyond(double x) {
    const double r = RoundToIntegral(x);
    if (r != r) {
        return 0;
    }
    if (r >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (r <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(r);
}

std::int64_t Round64(double x) {
    const double r = RoundToIntegral(x);
    if (r != r) {
        return 0;
    }
    if (r >= 0x1p63) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (r <= -0x1p63) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(r);
}

namespace {

// sin(x + q pi/2) for a finite x beyond pi/4: cos x is sin(x + pi/2). The
// one place the reduction is made, so that it is inlined rather than called.
double SineOfQuadrant(double x, std::int64_t q) {
    if (!std::isfinite(x)) {
        return x - x;  // NaN
    }
    const Reduced a = ReduceHalfPi(x);
    switch ((a.quadrant + q) & 3) {
        case 0:
            return SineKernel(a.high, a.low);
        case 1:
            return CosineKernel(a.high, a.low);
        case 2:
            return -SineKernel(a.high, a.low);
        default:
            return -CosineKernel(a.high, a.low);
    }
}

}  // namespace

double Sine(double x) {
    if (std::fabs(x) <= QuarterPi) {
        return SineKernel(x, 0.0);
    }
    return SineOfQuadrant(x, 0);
}

double Cosine(double x) {
    if (std::fabs(x) <= QuarterPi) {
        return CosineKernel(x, 0.0);
    }
    return SineOfQuadrant(x, 1);
}

namespace {

// Two doubles, and their bits, handled at once: SSE2 registers on both x86
// targets. A comparison of two Pair values gives all ones or zero per lane.
// Four at once in AVX2 registers, or eight in AVX-512 ones, where the
// processor has them: the same operations on each lane, so the same bits.
using Pair = double __attribute__((vector_size(16)));
using PairBits = std::uint64_t __attribute__((vector_size(16)));
using Quad = double __attribute__((vector_size(32)));
using QuadBits = std::uint64_t __attribute__((vector_size(32)));
using Octet = double __attribute__((vector_size(64)));
using OctetBits = std::uint64_t __attribute__((vector_size(64)));

// Adding 1.5 * 2^52 to a magnitude below 2^51 rounds it to an integer, halves
// to even as RoundToIntegral does, and leaves that integer modulo 2^51 in the
// low bits of the sum, so the quadrant is read off with a mask.
constexpr double QuadrantShifter = 0x1.8p52;
// The branch-free reduction is used up to here: far inside the shifter's
// range, and beyond anything the show draws.
constexpr double LanesLimit = 0x1p30;
constexpr std::uint64_t ExponentBits = 0x7FF0000000000000;
constexpr std::uint64_t MagnitudeBits = 0x7FFFFFFFFFFFFFFF;

// sin(x + offset pi/2) for every lane, as SineOfQuadrant and the direct
// kernels compute it: the same reduction with the first piece of pi/2, both
// kernels, and the one the quadrant asks for picked by masks rather than a
// switch whose branch the processor cannot foresee. Within pi/4, x * 2/pi
// rounds to at most 1/2 in magnitude, which the shifter takes to +0, and the
// reduction gives back x itself with a zero tail: the direct path's
// arguments, so no lane needs telling apart. left marks the lanes
// this cannot give the same bits for: a remainder that cancelled far enough
// to need the further pieces of pi/2, or a huge, infinite or NaN argument.
// Arguments and results go by reference, the way four-lane values may pass
// through code built for two.
template <typename Lanes, typename Bits>
[[gnu::always_inline]] inline void SineOfLanes(const Lanes& x, std::uint64_t offset, Lanes& result,
                                               Bits& left) {
    // A cast from one vector type to another of the same size keeps the bits.
    const Bits magnitudeBits = Bits(x) & MagnitudeBits;
    const Lanes shifted = x * InvHalfPi + QuadrantShifter;
    const Lanes n = shifted - QuadrantShifter;
    const Lanes r = x - n * HalfPi1;
    const Lanes w = n * HalfPi1Tail;
    const Lanes high = r - w;
    const Lanes low = (r - high) - w;
    // ReduceHalfPi's test on the exponents, as magnitudes: the exponent of
    // high lies more than 16 below that of x.
    const Lanes powerOfX = Lanes(magnitudeBits & ExponentBits);
    const Bits cancelled = Bits(Lanes(Bits(high) & MagnitudeBits) < powerOfX * 0x1p-16);
    left = ~Bits(Lanes(magnitudeBits) <= LanesLimit) | cancelled;

    const Bits quadrant = Bits(shifted) + offset;
    const Bits useCosine = -(quadrant & 1);
    Lanes sine, cosine;
    SineKernelInto(high, low, sine);
    CosineKernelInto(high, low, cosine);
    result = Lanes(((Bits(sine) & ~useCosine) | (Bits(cosine) & useCosine)) ^ ((quadrant & 2) << 62));
}

// Arguments from `k` on, as many lanes at a time as fit, through
// SineOfLanes; what it leaves through scalar, which gives the same bits.
// Returns where it stopped: fewer arguments than lanes are left.
template <typename Lanes, typename Bits>
[[gnu::always_inline]] inline int SineOfEachIn(const double* in, double* out, int k, int count,
                                               std::uint64_t offset, double (*scalar)(double)) {
    constexpr int Width = sizeof(Lanes) / sizeof(double);
    for (; k + Width <= count; k += Width) {
        Lanes x;
        std::memcpy(&x, in + k, sizeof x);
        Lanes y;
        Bits left;
        SineOfLanes(x, offset, y, left);
        std::memcpy(out + k, &y, sizeof y);
        std::uint64_t anyLeft = 0;
        for (int lane = 0; lane < Width; ++lane) anyLeft |= left[lane];
        if (anyLeft != 0) {
            for (int lane = 0; lane < Width; ++lane) {
                if (left[lane]) out[k + lane] = scalar(in[k + lane]);
            }
        }
    }
    return k;
}

#if defined(__i386__) || defined(__x86_64__)
// Octets where the processor has AVX-512, quads where it has AVX2: set
// apart so that the rest of the program keeps to SSE2.
__attribute__((target("avx512f"))) int SineOfEachOctet(const double* in, double* out, int count,
                                                       std::uint64_t offset, double (*scalar)(double)) {
    return SineOfEachIn<Octet, OctetBits>(in, out, 0, count, offset, scalar);
}

__attribute__((target("avx2"))) int SineOfEachQuad(const double* in, double* out, int k, int count,
                                                   std::uint64_t offset, double (*scalar)(double)) {
    return SineOfEachIn<Quad, QuadBits>(in, out, k, count, offset, scalar);
}

int WidestLanes() {
    return ProcessorHasAvx512() ? 8 : ProcessorHasAvx2() ? 4 : 2;
}
#else
// Elsewhere two lanes at a time, as the compiler makes them.
int SineOfEachOctet(const double*, double*, int, std::uint64_t, double (*)(double)) {
    return 0;
}
int SineOfEachQuad(const double*, double*, int k, int, std::uint64_t, double (*)(double)) {
    return k;
}
int WidestLanes() {
    return 2;
}
#endif

int LaneCount = WidestLanes();

// One loop for both functions, so that SineOfLanes has few callers and is
// inlined, its constants set up once. Octets or quads first where they can
// be had, then pairs, and an odd last one through scalar.
void SineOfEachQuadrant(const double* in, double* out, int count, std::uint64_t offset,
                        double (*scalar)(double)) {
    int k = LaneCount >= 8 ? SineOfEachOctet(in, out, count, offset, scalar) : 0;
    k = LaneCount >= 4 ? SineOfEachQuad(in, out, k, count, offset, scalar) : k;
    const int last = SineOfEachIn<Pair, PairBits>(in, out, k, count, offset, scalar);
    if (last < count) {
        out[last] = scalar(in[last]);
    }
}

}  // namespace

void SineOfEach(const double* in, double* out, int count) {
    SineOfEachQuadrant(in, out, count, 0, Sine);
}

void CosineOfEach(const double* in, double* out, int count) {
    SineOfEachQuadrant(in, out, count, 1, Cosine);
}

int numeric_detail::UseLanes(int lanes) {
    const int before = LaneCount;
    LaneCount = std::min(lanes, WidestLanes());
    return before;
}

// ---- exponential ----------------------------------------------------------

namespace {

// ln 2 split so that k * Ln2High is exact for |k| < 2^11.
constexpr double Ln2High = 0x1.62e42fee00000p-1;
constexpr double Ln2Low = 0x1.a39ef35793c76p-33;
constexpr double InvLn2 = 0x1.71547652b82fep+0;

// r (e^r + 1) / (e^r - 1) ~ 2 + P1 r^2 + ... + P5 r^10 on [-ln2/2, ln2/2].
constexpr double P1 = 0x1.555555555553ep-3;
constexpr double P2 = -0x1.6c16c16bebd93p-9;
constexpr double P3 = 0x1.1566aaf25de2cp-14;
constexpr double P4 = -0x1.bbd41c5d26bf1p-20;
constexpr double P5 = 0x1.6376972bea4d0p-25;

constexpr double OverflowThreshold = 0x1.62e42fefa39efp+9;    // ln(max double)
constexpr double UnderflowThreshold = -0x1.74910d52d3051p+9;  // ln(min subnormal)

// y * 2^k for y near 1 and k in [-1075, 1024]: exact, except that a
// subnormal result is rounded once.
double ScaleByPowerOfTwo(double y, int k) {
    auto power = [](int e) { return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52); };
    if (k > 1023) {
        return y * 2.0 * power(k - 1);
    }
    if (k < -1021) {
        return (y * power(k + 1000)) * power(-1000);
    }
    return y * power(k);
}

}  // namespace

double Exponential(double x) {
    if (x != x) {
        return x;
    }
    if (x > OverflowThreshold) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < UnderflowThreshold) {
        return 0.0;
    }
    const double magnitude = std::fabs(x);
    if (magnitude < 0x1p-28) {
        return 1.0 + x;
    }
    // x = k ln2 + (high - low), |high - low| <= ln2 / 2.
    int k = 0;
    double high = x;
    double low = 0.0;
    if (magnitude > 0.5 * 0x1.62e42fefa39efp-1) {
        const double kd = RoundToIntegral(x * InvLn2);
        k = static_cast<int>(kd);
        high = x - kd * Ln2High;
        low = kd * Ln2Low;
    }
    const double r = high - low;
    const double t = r * r;
    const double c = r - t * (P1 + t * (P2 + t * (P3 + t * (P4 + t * P5))));
    if (k == 0) {
        return 1.0 - ((r * c) / (c - 2.0) - r);
    }
    const double y = 1.0 - ((low - (r * c) / (2.0 - c)) - high);
    return ScaleByPowerOfTwo(y, k);
}
