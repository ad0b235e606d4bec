#pragma once
// What the processor offers beyond the SSE2 every build assumes. Code that
// uses more keeps it in functions of its own, chosen at run time, and gives
// the same results either way.

// True on an x86 processor (and system) with AVX2; false elsewhere.
bool ProcessorHasAvx2();

// True on an x86 processor (and system) with AVX-512 Foundation and its
// doubleword and quadword instructions (every one but the Xeon Phi); false
// elsewhere.
bool ProcessorHasAvx512();
