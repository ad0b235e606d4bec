#include "raster/processor.h"

bool ProcessorHasAvx2() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();  // this may run before the library's own start-up
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool ProcessorHasAvx512() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
#else
    return false;
#endif
}
