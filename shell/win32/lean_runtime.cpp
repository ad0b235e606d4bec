// What the static C++ runtime would otherwise bring into each program for
// failures that end it anyway. The library's own versions of these throw an
// exception that nothing catches, or print a demangled report to a console
// that a GUI program does not have, and pull in its string classes, the
// demangler and the exception hierarchy: about 130 KiB of the program. Here
// each of them ends the process at once, as the uncaught exception would.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// The containers' and strings' failures: out of memory, too long, built
// from a null pointer. A name used here that is missing from this list
// links the library's version too and stops the build with a duplicate
// definition.
namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
}  // namespace std
