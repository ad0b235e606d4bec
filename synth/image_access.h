#pragma once
// Reads from the song image in its own 16-bit offset space, for the
// synthesizer and for tools that read an image it has checked: callers rely
// on LoadSongLayout having found that every offset they reach lies inside
// SongBytes.
#include "dxvornik.h"

inline std::uint8_t ImageByte(const Synth& s, std::uint16_t offset) {
    return s.SongBytes[offset];
}

inline std::uint16_t ImageWord(const Synth& s, std::uint16_t offset) {
    return static_cast<std::uint16_t>(s.SongBytes[offset] | (s.SongBytes[offset + 1u] << 8));
}

// An address stored in the image as an offset into it (modulo 65536).
inline std::uint16_t AddressToOffset(const SongLayout& layout, std::uint16_t address) {
    return static_cast<std::uint16_t>(address - layout.Base);
}

inline std::uint16_t TrackTableEntry(const SongLayout& layout, std::uint8_t track) {
    return static_cast<std::uint16_t>(layout.TrackTableOffset + 2 * track);
}

inline std::uint16_t InstrumentRecord(const SongLayout& layout, std::uint8_t instrument) {
    return static_cast<std::uint16_t>(layout.InstrumentTableOffset + 3 * instrument);
}

inline std::uint16_t ProgramTableEntry(const SongLayout& layout, std::uint8_t program) {
    return static_cast<std::uint16_t>(layout.ProgramTableOffset + 2 * program);
}

inline std::uint16_t TrackStart(const Synth& s, std::uint8_t track) {
    return AddressToOffset(s.Layout, ImageWord(s, TrackTableEntry(s.Layout, track)));
}

inline std::uint16_t ProgramStart(const Synth& s, std::uint8_t program) {
    return AddressToOffset(s.Layout, ImageWord(s, ProgramTableEntry(s.Layout, program)));
}

// Byte offset of a channel's track number in row 0 of the order list.
constexpr std::uint16_t OrderListOffset = 12;
