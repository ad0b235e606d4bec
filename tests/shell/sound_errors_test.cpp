// The table of sound result descriptions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/program.h"

namespace {

SoundResult Code(std::uint32_t value) { return static_cast<SoundResult>(value); }

TEST(SoundErrorText, KnownCodesHaveTheirTexts) {
    EXPECT_STREQ(SoundErrorText(0), "The request completed successfully.");
    EXPECT_STREQ(SoundErrorText(Code(0x88780078)), "No sound driver is available for use.");
    EXPECT_STREQ(SoundErrorText(Code(0x80070005)), "Access is denied.");
    EXPECT_STREQ(SoundErrorText(Code(0x88781161)),
                 "The object requested was not found (numerically equal to DMUS_E_NOT_FOUND).");
    EXPECT_STREQ(SoundErrorText(Code(0x887800DC)),
                 "The effects requested could not be found on the system, or they were found but in the "
                 "wrong order, or in the wrong hardware/software locations.");
}

TEST(SoundErrorText, OutOfMemoryTextKeepsTheAcuteAccent) {
    const std::string text = SoundErrorText(Code(0x8007000E));
    EXPECT_EQ(text,
              "The DirectSound subsystem could not allocate sufficient memory to complete the caller\xB4s request.");
    const auto accent = text.find('\xB4');
    ASSERT_NE(accent, std::string::npos);
    EXPECT_EQ(text.substr(accent - 6, 8), "caller\xB4s");
    EXPECT_EQ(text.find('\''), std::string::npos);
}

TEST(SoundErrorText, OtherCodesAreUnrecognized) {
    for (std::uint32_t value : {0x88780000u, 1u, 0x7FFFFFFFu, 0x8878000Bu, 0xFFFFFFFFu}) {
        EXPECT_STREQ(SoundErrorText(Code(value)), "Unrecognized Error") << std::hex << value;
    }
}

}  // namespace
