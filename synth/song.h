#pragma once
// The built-in song image: a three-channel tracker song in C# minor, 23 rows
// of 3.2 seconds (73.6 s per pass), played by the dxvornik sequencer. The
// bytes are laid out and commented track by track in song.cpp.
#include <cstddef>
#include <cstdint>

extern const std::uint8_t BuiltInSong[915];
inline constexpr std::size_t BuiltInSongSize = 915;
