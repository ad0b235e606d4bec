// The one sound result text whose byte a well-meant edit would break: the
// acute accent (0xB4) the system's own text has where an apostrophe might be
// expected. The other texts are reached through the audio thread's tests.
#include <gtest/gtest.h>

#include <string>

#include "shell/program.h"

namespace {

SoundResult Code(std::uint32_t value) { return static_cast<SoundResult>(value); }

TEST(SoundErrorText, OutOfMemoryTextKeepsTheAcuteAccent) {
    const std::string text = SoundErrorText(Code(0x8007000E));
    EXPECT_EQ(text,
              "The DirectSound subsystem could not allocate sufficient memory to complete the caller\xB4s request.");
    const auto accent = text.find('\xB4');
    ASSERT_NE(accent, std::string::npos);
    EXPECT_EQ(text.substr(accent - 6, 8), "caller\xB4s");
    EXPECT_EQ(text.find('\''), std::string::npos);
}

}  // namespace
