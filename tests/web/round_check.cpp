// Round as the WebAssembly build compiles it, for round_test.mjs: the web
// build has its own two-instruction Round, which the native tests never run.
#include <cstdint>

#include "base/numeric.h"

extern "C" __attribute__((export_name("RoundOf"))) std::int32_t RoundOf(double x) {
    return Round(x);
}
