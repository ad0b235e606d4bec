#pragma once
// Emscripten 3.1.6 (Debian 12) ships a C++ library older than its compiler:
// it lacks std::bit_cast, which the compiler itself can do. Every source of
// the web build includes this first (see the `web` preset), so the portable
// code stays as the other builds compile it.
#include <version>

#if !defined(__cpp_lib_bit_cast)
#include <type_traits>

namespace std {
template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif
