// The audio thread against the recording sound device: its start-up order,
// the refill of exactly what the play cursor passed (across the end of the
// ring too), and its ending.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_platform.h"
#include "shell/program.h"
#include "synth/stream.h"
#include "tests/synth/song_builder.h"

namespace {

constexpr std::uint32_t Rate = 8000;
constexpr std::uint32_t RingBytes = 2 * Rate;

class AudioThread : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFake();
        SongBytes.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
        WindowHandle = &FakeLog;
        FakeSound.sampleRate = Rate;
        RandomSeed.store(0);
    }

    int RunToExit() {
        try {
            AudioThreadProc(&WindowHandle);
        } catch (const FakeExit& exit) {
            return exit.code;
        }
        return -1;
    }
};

std::vector<std::int16_t> RingSamples(std::uint32_t fromByte, std::uint32_t toByte) {
    std::vector<std::int16_t> samples((toByte - fromByte) / 2);
    std::memcpy(samples.data(), FakeRing.data() + fromByte, toByte - fromByte);
    return samples;
}

std::vector<std::int16_t> Slice(const std::vector<std::int16_t>& all, std::size_t from, std::size_t to) {
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.begin() + static_cast<std::ptrdiff_t>(to)};
}

TEST_F(AudioThread, StartsUpFillsTheWholeRingAndRaisesReadyBeforePlaying) {
    FakeSound.playCursors = {0};
    EXPECT_EQ(AudioThreadProc(&WindowHandle), 0u);
    const std::vector<std::string> expected = {
        "SoundCreateDevice",
        "SoundSetCooperativeLevel window",
        "SoundGetCaps",
        "SoundCreateBuffer 8000 16000",
        "SoundQueryBuffer8",
        "SoundLock 0 16000 entire",
        "SoundUnlock 16000 one 0",
        "SoundPlayLooping audioReady=1",
        "Sleep 20",
        "SoundPlayCursor 0",
        "SoundStop",
    };
    EXPECT_EQ(FakeLog, expected);
    EXPECT_EQ(RingSamples(0, RingBytes), BuiltInSongSamples(Rate, Rate));
}

// Passes with the cursor at 6000, 14000, then past the end at 2000, then not
// moved: each renders the bytes passed, the wrapped one the end before the
// start, and the whole is one continuous stream.
TEST_F(AudioThread, RefillsWhatThePlayCursorPassedAsOneStream) {
    FakeSound.playCursors = {6000, 14000, 2000, 2000};
    EXPECT_EQ(AudioThreadProc(&WindowHandle), 0u);
    EXPECT_NE(FakeLogIndex("SoundLock 0 6000"), -1);
    EXPECT_NE(FakeLogIndex("SoundLock 6000 8000"), -1);
    EXPECT_NE(FakeLogIndex("SoundLock 14000 4000"), -1);
    EXPECT_NE(FakeLogIndex("SoundUnlock 2000 two 2000"), -1);
    EXPECT_EQ(std::count_if(FakeLog.begin(), FakeLog.end(),
                            [](const std::string& line) { return line.rfind("SoundLock", 0) == 0; }),
              4)
        << "the pass that found the cursor where it was locks nothing";
    EXPECT_EQ(FakeLog.back(), "SoundStop");

    // Samples 0..8000 went into the first fill; 8000..17000 followed.
    const std::vector<std::int16_t> reference = BuiltInSongSamples(Rate, 17000);
    EXPECT_EQ(RingSamples(0, 2000), Slice(reference, 16000, 17000));
    EXPECT_EQ(RingSamples(2000, 6000), Slice(reference, 9000, 11000));
    EXPECT_EQ(RingSamples(6000, 14000), Slice(reference, 11000, 15000));
    EXPECT_EQ(RingSamples(14000, 16000), Slice(reference, 15000, 16000));
}

TEST_F(AudioThread, AFailedDeviceShowsItsTextAndEndsWithOne) {
    FakeSound.createDeviceResult = static_cast<SoundResult>(0x88780078);
    EXPECT_EQ(RunToExit(), 1);
    EXPECT_EQ(FakeLog.at(1), "ShowErrorBox No sound driver is available for use.");
    EXPECT_EQ(FakeLogIndex("SoundPlayLooping audioReady=1"), -1);
    EXPECT_FALSE(AudioReady.load());
}

TEST_F(AudioThread, ALostBufferWhilePlayingEndsWithOne) {
    FakeSound.playCursors = {4000, 8000, 12000};
    FakeSound.failingLockPass = 2;
    EXPECT_EQ(RunToExit(), 1);
    EXPECT_NE(FakeLogIndex("ShowErrorBox Unrecognized Error"), -1);
    EXPECT_EQ(FakeLog.back(), "ExitProcessWith 1");
    EXPECT_EQ(FakeLogIndex("SoundPlayCursor 12000"), -1);
}

TEST_F(AudioThread, ARateTheSynthesizerCannotPlayIsReportedNotPlayed) {
    FakeSound.sampleRate = 0;
    EXPECT_EQ(RunToExit(), 1);
    EXPECT_EQ(FakeLogIndex("SoundCreateBuffer 0 0"), -1);
    EXPECT_EQ(FakeLog.back(), "ExitProcessWith 1");
}

}  // namespace
