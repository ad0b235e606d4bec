#include "base/processor.h"

#if defined(__i386__) || defined(__x86_64__)
// __builtin_cpu_init first: this may run before the library's own start-up.
bool ProcessorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool ProcessorHasAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
}
#else
bool ProcessorHasAvx2() {
    return false;
}
bool ProcessorHasAvx512() {
    return false;
}
#endif
