// The image check: every kind of malformed image is refused with its
// problem; conforming images, including unused garbage, play. The built-in
// song plays at the rates golden_song_test.cpp and cli_test.cpp use.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "song_builder.h"

namespace {

using ::testing::HasSubstr;

std::string Problem(const std::vector<std::uint8_t>& image, std::uint32_t rate = 44100) {
    Synth s;
    return StartSynth(s, image, rate);
}

TEST(Validation, AcceptsConformingImagesWithUnreachedGarbage) {
    SongPlan plan = QuietSong();
    plan.Tracks.push_back({0x63, 0x63});                // track 3: never played
    plan.Instruments.push_back({0x01, 0x00, 0x00});     // instrument 1: never selected
    plan.Programs.push_back({0x80, 0x40, 0x80, 0x00});  // program 1: no end
    EXPECT_EQ(Problem(BuildSong(plan).Bytes), "");
}

// Each kind of malformed image, made from the quiet song by editing its plan
// or its bytes, and the problem it must be refused with.
using PlanEdit = std::function<void(SongPlan&)>;
struct Malformed {
    PlanEdit editPlan;
    std::function<void(BuiltSong&)> editBytes;
    const char* problem;
};

PlanEdit Track(std::size_t n, std::vector<std::uint8_t> bytes) {
    return [=](SongPlan& s) { s.Tracks[n] = bytes; };
}
PlanEdit Program0(std::vector<std::uint8_t> bytes) {
    return [=](SongPlan& s) { s.Programs[0] = bytes; };
}

const Malformed Cases[] = {
    {nullptr, [](auto& s) { s.Bytes.resize(11); }, "fewer than its 12-byte header"},
    {nullptr, [](auto& s) { s.Bytes.resize(65537); }, "16-bit offsets reach only 65536"},
    {nullptr, [](auto& s) { s.Bytes.pop_back(); }, "tick-rate word at offset"},
    {[](auto& s) { s.TicksPerSecond = 0; }, nullptr, "tick rate is 0"},
    {[](auto& s) { s.DurationUnit = 0; }, nullptr, "duration unit is 0"},
    {nullptr, [](auto& s) { SetWord(s.Bytes, 2, 0x1FFF); }, "track table starts at offset 65535"},
    {nullptr, [](auto& s) { SetWord(s.Bytes, 6, 0x2000 + 5000); }, "program table starts at offset 5000"},
    {[](auto& s) { s.OrderLength = 255; }, nullptr, "order list plays 85 rows"},
    {[](auto& s) { s.Rows[0][2] = 200; }, nullptr, "track 200 is played but its address"},
    {nullptr, [](auto& s) { SetWord(s.Bytes, s.TrackTable + 2, 0x2000 + 4000); },
     "track 1 starts at offset 4000 (address 0x2FA0 in the track table at offset"},
    // Track 2 starts on the last two bytes, B7 80: two relative notes.
    {[](auto& s) { s.TicksPerSecond = 0x80B7; },
     [](auto& s) { SetWord(s.Bytes, s.TrackTable + 4, 0x2000u + s.TickRate); },
     "track 2 runs past the end of the image"},
    {Track(1, {0x00, 0x01, 0x7F, 0x62}), nullptr, "track 1 has the illegal command byte 127"},
    {Track(2, {40, 0x01, 0x66, 0x00, 0x62}), nullptr, "duration of 0"},
    {Track(0, {0x62}), nullptr, "track 0 has no rest, note, release or relative note"},
    {Track(0, {0x00, 0x01, 0x64, 0x00, 0x62}), nullptr, "instrument select at offset"},
    {Track(0, {0x64, 0x00, 0x64, 0x00, 0x00, 0x01, 0x62}), nullptr,
     "not followed by a rest, note, release or relative note"},
    {Track(1, {0x64, 0x09, 0x00, 0x01, 0x62}), nullptr,
     "instrument 9 (selected by track 1) has its record at offset"},
    {nullptr, [](auto& s) { SetWord(s.Bytes, 4, 0x2000u + s.TickRate + 1); },
     "instrument 0 (every row's default) has its record"},
    // Instrument 1 is missing: its record is read from the program table.
    {Track(1, {0x64, 0x01, 0x00, 0x01, 0x62}), nullptr, "so the instrument table may have no entry 1"},
    {[](auto& s) { s.Instruments[0][0] = 250; }, nullptr,
     "instrument 0 (every row's default) plays program 250, whose entry in the program table"},
    {Program0({0x80, 0x40, 0x80, 0x00}), nullptr, "program 0 runs past the end of the image"},
    {Program0({0x80, 0x40, 0x80, 0xF0}), nullptr, "program 0 begins with a loop marker"},
    {[](auto& s) {
         Track(1, {0x64, 0x01, 0x00, 0x01, 0x62})(s);
         s.Instruments.push_back({0x01, 0x00, 0x00});
         s.Programs.push_back({0x80, 0x40, 0x80, 0x00});
     },
     nullptr, "program 1 runs past the end of the image"},
};

TEST(Validation, EveryKindOfMalformedImageIsRefusedWithItsProblem) {
    for (const Malformed& m : Cases) {
        SongPlan plan = QuietSong();
        if (m.editPlan) m.editPlan(plan);
        BuiltSong song = BuildSong(plan);
        if (m.editBytes) m.editBytes(song);
        EXPECT_THAT(Problem(song.Bytes), HasSubstr(m.problem));
    }
}

TEST(Validation, SampleRateMustGiveOneTo65535SamplesPerTick) {
    SongPlan plan = QuietSong();  // 50 ticks per second
    const auto image = BuildSong(plan).Bytes;
    EXPECT_THAT(Problem(image, 49), HasSubstr("gives 0 samples per tick"));
    EXPECT_EQ(Problem(image, 50), "");
    EXPECT_EQ(Problem(image, 65535u * 50 + 49), "");
    EXPECT_THAT(Problem(image, 65536u * 50), HasSubstr("gives 65536 samples per tick"));

    plan.TicksPerSecond = 1;
    EXPECT_THAT(Problem(BuildSong(plan).Bytes, 7), HasSubstr("period rounds to 0"));
    EXPECT_EQ(Problem(BuildSong(plan).Bytes, 8), "");
}

}  // namespace
