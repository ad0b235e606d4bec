#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/numeric.h"
#include "base/processor.h"

namespace {

using Limits32 = std::numeric_limits<std::int32_t>;

// Distance in units in the last place between two finite doubles.
std::int64_t UlpDistance(double a, double b) {
    auto key = [](double v) {
        const std::int64_t bits = std::bit_cast<std::int64_t>(v);
        return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
    };
    const std::int64_t d = key(a) - key(b);
    return d < 0 ? -d : d;
}

// The default rounding mode on halves, just below them (where adding 0.5
// would fail) and about the edge of the 32-bit range, where a conversion
// would be undefined, it saturates instead.
TEST(Round, NearestWithHalvesToEvenAndSaturating) {
    for (const double x : {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 2.4999999999999996, 0.49999999999999994,
                           2147483646.5, 2147483647.4, -2147483648.4}) {
        EXPECT_EQ(Round(x), std::nearbyint(x)) << x;
        EXPECT_EQ(Round64(x), std::nearbyint(x)) << x;
    }
    EXPECT_EQ(Round(2147483647.5), Limits32::max());
    EXPECT_EQ(Round(-1e300), Limits32::min());
    EXPECT_EQ(Round(std::nan("")), 0);
    EXPECT_EQ(Round64(4503599627370495.5), 4503599627370496);
    EXPECT_EQ(Round64(-2251799813685248.5), -2251799813685248);
    EXPECT_EQ(Round64(1e300), std::numeric_limits<std::int64_t>::max());
}

// Arguments on the edges of the shortcuts of Sine and Cosine, then an odd
// count of every kind, mixed so that each kind shares lanes with each.
std::vector<double> TrigonometryArguments() {
    const double inf = std::numeric_limits<double>::infinity(), quarterPi = 0.7853981633974483;
    const double nanWithPayload = std::bit_cast<double>(0xFFF8000000000003),
                 pastQuarterPi = std::nextafter(quarterPi, 1.0);
    std::vector<double> xs{0.0,   -0.0, -4e-320, quarterPi,     -pastQuarterPi, 0x1p30, -0x1.0000000000001p30,
                           1e300, inf,  -inf,    nanWithPayload};
    std::mt19937_64 random(2);
    std::uniform_real_distribution<double> demo(-100.0, 100.0), wide(-1e5, 1e5), far(-1.6e6, 1.6e6);
    for (int i = 0; i < 400000; ++i) {
        const double multiple = (static_cast<double>(random() % 127324) - 63662) * 1.5707963267948966;
        const int scale = -static_cast<int>(random() % 40);
        const auto kind = random() % 5;
        xs.push_back(kind == 0   ? demo(random)
                     : kind == 1 ? (i % 2 ? wide(random) : far(random))
                     : kind == 2 ? std::ldexp(1.0 + (random() >> 11) * 0x1p-53, scale)
                     : kind == 3 ? multiple
                                 : multiple + std::ldexp(demo(random), scale));
    }
    return xs;
}

TEST(Trigonometry, WithinOneUlpOfTheCLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Sine(0.0), 0.0);
    EXPECT_TRUE(std::signbit(Sine(-0.0)));
    EXPECT_EQ(Cosine(0.0), 1.0);
    EXPECT_EQ(Sine(1e-300), 1e-300);
    EXPECT_EQ(Sine(3.141592653589793), 1.2246467991473532e-16);  // sin of the double nearest pi
    EXPECT_TRUE(std::isnan(Sine(inf)));
    for (const double x : TrigonometryArguments()) {
        if (!std::isfinite(x) || std::abs(x) > 1.6e6) continue;
        ASSERT_LE(std::max(UlpDistance(Sine(x), std::sin(x)), UlpDistance(Cosine(x), std::cos(x))), 1)
            << std::hexfloat << x;
    }
}

// The batch functions give the bits of one call each, two, four or eight at
// a time; a width the processor lacks is reported as skipped.
class TrigonometryLanes : public ::testing::TestWithParam<int> {};

TEST_P(TrigonometryLanes, GiveTheBitsOfOneCallEach) {
    const int lanes = GetParam();
    if ((lanes == 8 && !ProcessorHasAvx512()) || (lanes == 4 && !ProcessorHasAvx2())) {
        GTEST_SKIP() << "the processor cannot take " << lanes << " lanes";
    }
    const std::vector<double> xs = TrigonometryArguments();
    std::vector<double> sines(xs.size()), cosines(xs.size());
    const int before = numeric_detail::UseLanes(lanes);
    SineOfEach(xs.data(), sines.data(), static_cast<int>(xs.size()));
    CosineOfEach(xs.data(), cosines.data(), static_cast<int>(xs.size()));
    numeric_detail::UseLanes(before);
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    for (std::size_t k = 0; k < xs.size(); ++k) {
        ASSERT_EQ((std::pair{bits(sines[k]), bits(cosines[k])}),
                  (std::pair{bits(Sine(xs[k])), bits(Cosine(xs[k]))}))
            << std::hexfloat << xs[k];
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, TrigonometryLanes, ::testing::Values(8, 4, 2),
                         [](const auto& info) { return std::to_string(info.param) + "Lanes"; });

TEST(Exponential, WithinOneUlpOfTheCLibrary) {
    EXPECT_EQ(Exponential(-0.0), 1.0);
    EXPECT_EQ(Exponential(-1000.0), 0.0);
    EXPECT_EQ(Exponential(1000.0), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(Exponential(std::nan(""))));
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> range(-20.0, 20.0), tiny(-1e-3, 1e-3), all(-745.0, 709.0);
    for (int i = 0; i < 400000; ++i) {
        const double x = i % 5 == 0 ? tiny(random) : i % 5 == 1 ? all(random) : range(random);
        ASSERT_LE(UlpDistance(Exponential(x), std::exp(x)), 1) << std::hexfloat << x;
    }
}

}  // namespace
