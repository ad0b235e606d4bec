#pragma once
// Builds small song images for the tests: header, order list, track table and
// tracks, instrument table, program table and programs, tick-rate word, laid
// out in that order from a base address, with every address filled in. Also
// the built-in song's samples from its start, which the ring refill, the audio
// thread and the capture tool must reproduce.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

struct SongPlan {
    std::uint16_t Base = 0x2000;
    std::uint16_t TicksPerSecond = 50;
    std::uint8_t DurationUnit = 1;
    std::optional<std::uint8_t> OrderLength;  // default: three bytes per row
    std::vector<std::array<std::uint8_t, 3>> Rows{{0, 1, 2}};
    std::vector<std::vector<std::uint8_t>> Tracks;
    std::vector<std::array<std::uint8_t, 3>> Instruments;
    std::vector<std::vector<std::uint8_t>> Programs;  // 4 bytes per step
};

struct BuiltSong {
    std::vector<std::uint8_t> Bytes;
    std::uint16_t TrackTable = 0, TickRate = 0;
};

// Writes a little-endian 16-bit word.
inline void SetWord(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t value) {
    b[at] = static_cast<std::uint8_t>(value);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline BuiltSong BuildSong(const SongPlan& plan) {
    BuiltSong song;
    std::vector<std::uint8_t>& b = song.Bytes;
    // A table of addresses, then the blobs it points at; returns the table's offset.
    auto addressTable = [&](const std::vector<std::vector<std::uint8_t>>& blobs) {
        const std::size_t table = b.size();
        b.resize(b.size() + 2 * blobs.size());
        for (std::size_t i = 0; i < blobs.size(); ++i) {
            SetWord(b, table + 2 * i, plan.Base + b.size());
            b.insert(b.end(), blobs[i].begin(), blobs[i].end());
        }
        return table;
    };
    b.assign(12, 0);
    for (const auto& row : plan.Rows) b.insert(b.end(), row.begin(), row.end());
    song.TrackTable = static_cast<std::uint16_t>(addressTable(plan.Tracks));
    const std::size_t instruments = b.size();
    for (const auto& i : plan.Instruments) b.insert(b.end(), i.begin(), i.end());
    const std::size_t programs = addressTable(plan.Programs);
    song.TickRate = static_cast<std::uint16_t>(b.size());
    b.resize(b.size() + 2);
    SetWord(b, song.TickRate, plan.TicksPerSecond);
    // Word 0 gives the base: it holds the base plus 2.
    const std::size_t addresses[] = {2, song.TrackTable, instruments, programs, song.TickRate};
    for (int i = 0; i < 5; ++i) SetWord(b, 2 * i, plan.Base + addresses[i]);
    b[10] = plan.OrderLength.value_or(static_cast<std::uint8_t>(3 * plan.Rows.size()));
    b[11] = plan.DurationUnit;
    return song;
}

// A quiet song to start from: three tracks resting 255 units, instrument 0
// with a square-wave program that stops on its only step.
inline SongPlan QuietSong() {
    SongPlan plan;
    plan.Tracks = {{0x00, 0xFF, 0x62}, {0x00, 0xFF, 0x62}, {0x00, 0xFF, 0x62}};
    plan.Instruments = {{0x00, 0x00, 0xF0}};
    plan.Programs = {{0x80, 0x40, 0x80, 0xE0}};
    return plan;
}

// The built-in song's first `count` samples at `rate` in one render, the
// generator at its start state and drawn by the noise voice alone.
inline std::vector<std::int16_t> BuiltInSongSamples(std::uint32_t rate, std::size_t count) {
    Synth s;
    EXPECT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate), "");
    RandomSeed.store(0);
    std::vector<std::int16_t> samples(count);
    RenderSamples(s, samples.data(), static_cast<std::int32_t>(count));
    return samples;
}
