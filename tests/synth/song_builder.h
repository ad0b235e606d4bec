#pragma once
// Builds small song images for the tests: header, order list, track table and
// tracks, instrument table, program table and programs, tick-rate word, laid
// out in that order from a base address, with every address filled in.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "synth/dxvornik.h"

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
  std::uint16_t TrackTable = 0, InstrumentTable = 0, ProgramTable = 0, TickRate = 0;
};

inline BuiltSong BuildSong(const SongPlan& plan) {
  BuiltSong song;
  std::vector<std::uint8_t>& b = song.Bytes;
  auto word = [&](std::size_t at, std::uint32_t value) {
    b[at] = static_cast<std::uint8_t>(value);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  auto address = [&](std::size_t offset) { return static_cast<std::uint32_t>(plan.Base + offset); };

  // A table of addresses, then the blobs it points at.
  auto addressTable = [&](std::uint16_t& table, const std::vector<std::vector<std::uint8_t>>& blobs) {
    table = static_cast<std::uint16_t>(b.size());
    b.resize(b.size() + 2 * blobs.size());
    for (std::size_t i = 0; i < blobs.size(); ++i) {
      word(table + 2 * i, address(b.size()));
      b.insert(b.end(), blobs[i].begin(), blobs[i].end());
    }
  };

  b.assign(12, 0);
  for (const auto& row : plan.Rows) b.insert(b.end(), row.begin(), row.end());
  addressTable(song.TrackTable, plan.Tracks);
  song.InstrumentTable = static_cast<std::uint16_t>(b.size());
  for (const auto& instrument : plan.Instruments) b.insert(b.end(), instrument.begin(), instrument.end());
  addressTable(song.ProgramTable, plan.Programs);
  song.TickRate = static_cast<std::uint16_t>(b.size());
  b.resize(b.size() + 2);
  word(song.TickRate, plan.TicksPerSecond);

  word(0, address(2));
  word(2, address(song.TrackTable));
  word(4, address(song.InstrumentTable));
  word(6, address(song.ProgramTable));
  word(8, address(song.TickRate));
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
