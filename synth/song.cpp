// The built-in song: C# minor at 150 beats per minute, 23 rows of two 4/4
// bars each (32 units of 5 ticks, 3.2 s), 73.6 s per pass before it starts
// again. Form: intro (row 0), build (rows 1-4), theme twice (rows 5-12),
// break (rows 13-16), return of the theme (rows 17-20), coda (rows 21-22).
// The theme runs over C#m A | E B | C#m A | F#m G#.
//
// Channel 0 plays the bass, channel 1 the lead melody and the arpeggios,
// channel 2 the drums (from row 1 on). Channel 1's tracks are exactly 32
// units long, so its end marker ends every row; the bass and drum tracks are
// written 64 units long and their second halves are never heard.
//
// Reading the track lines: note 60 is A4 (440 Hz), so note n is MIDI note
// n + 9 (28 = C#2, 40 = C#3, 52 = C#4, 64 = C#5). "E5:3" is E5 for 3 units,
// stored as an absolute note (two bytes: note, duration) or, where the step
// from the previous note is -7 to +8 semitones and the duration 1 to 8, as one
// relative-note byte 0xDO: duration D - 7 units, base note moved by O - 7.
// "rest:N" and "release:N" take N units, "iN" selects instrument N, "end" is
// the end marker. The drums are all struck on A4 and their programs set the
// pitch: K kick, S snare, H hi-hat; "S+3" is the snare 3 semitones up.
//
// Reading the program lines: note offset, waveform, pulse width, length.
#include "song.h"

constexpr std::uint8_t BuiltInSong[915] = {
    // Header: addresses of offset 2, the track table, the instrument table, the program
    // table and the tick-rate word (base 0x14FE); order length 68; unit 5 ticks.
    0x00, 0x15, 0x4F, 0x15, 0x10, 0x17, 0x25, 0x17, 0x8F, 0x18, 0x44, 0x05,

    // Order list: tracks for channels 0 (bass), 1 (lead), 2 (drums); 23 rows of 3.2 s.
     0,  1,  2,  // row  0: intro: C# pedal, staccato broken chords, no drums
     3,  6, 12,  // row  1: build: C#m A, arpeggios, kick and hats
     4,  7, 12,  // row  2: build: E B
     3,  6, 12,  // row  3: build: C#m A
     5,  6, 14,  // row  4: build: F#m G#, fill
     3,  8, 13,  // row  5: theme: C#m A
     4,  9, 13,  // row  6: theme: E B
     3, 10, 13,  // row  7: theme: C#m A
     5, 11, 14,  // row  8: theme: F#m G#, fill
     3,  8, 13,  // row  9: theme, second time: C#m A
     4,  9, 13,  // row 10: theme: E B
     3, 10, 13,  // row 11: theme: C#m A
     5, 11, 14,  // row 12: theme: F#m G#, fill
     0,  1,  2,  // row 13: break: the intro again, no drums
     0,  6,  2,  // row 14: break: arpeggios over the pedal, no drums
     5,  6, 12,  // row 15: break: F#m G#, kick and hats return
     4,  7, 14,  // row 16: break: E B, fill
     3,  8, 13,  // row 17: return of the theme: C#m A
     4,  9, 13,  // row 18: return: E B
     3, 10, 13,  // row 19: return: C#m A
     5, 11, 14,  // row 20: return: F#m G#, fill
     3,  6, 13,  // row 21: coda: C#m A, arpeggios
     5, 11, 14,  // row 22: coda: F#m G#, back to the intro

    // Track table: addresses of tracks 0 to 14.
    0x6D, 0x15,  // track  0 at offset 111
    0x7F, 0x15,  // track  1 at offset 129
    0x99, 0x15,  // track  2 at offset 155
    0x9C, 0x15,  // track  3 at offset 158
    0xB4, 0x15,  // track  4 at offset 182
    0xCC, 0x15,  // track  5 at offset 206
    0xE4, 0x15,  // track  6 at offset 230
    0xF9, 0x15,  // track  7 at offset 251
    0x0F, 0x16,  // track  8 at offset 273
    0x27, 0x16,  // track  9 at offset 297
    0x3F, 0x16,  // track 10 at offset 321
    0x56, 0x16,  // track 11 at offset 344
    0x6C, 0x16,  // track 12 at offset 366
    0xA4, 0x16,  // track 13 at offset 422
    0xDB, 0x16,  // track 14 at offset 477

    // Track 0, 64 units, rows 0 13 14: bass, intro: C#2 struck every beat (pedal under row 0 and the break)
    0x1C, 0x04, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7, 0x62,  // C#2:4 C#2:4 C#2:4 C#2:4 end

    // Track 1, 32 units, rows 0 13: lead, intro: staccato broken chords C#m C#m | A/C# F#m/C#
    0x64, 0x01, 0x28, 0x02, 0x9A, 0x9B, 0x66, 0x02, 0x90, 0x9A, 0x9B, 0x66, 0x02,  // i1 C#3:2 E3:2 G#3:2 release:2 C#3:2 E3:2 G#3:2 release:2
    0x90, 0x9A, 0x9C, 0x66, 0x02, 0x28, 0x02, 0x9C, 0x8A, 0x8B, 0x66, 0x02, 0x62,  // C#3:2 E3:2 A3:2 release:2 C#3:2 F#3:2 A3:1 C#4:1 release:2 end

    // Track 2, 64 units, rows 0 13 14: drums, silent: a 64-unit rest
    0x00, 0x40, 0x62,  // rest:64 end

    // Track 3, 64 units, rows 1 3 5 7 9 11 17 19 21: bass C#m | A: root, fifth and octave, tresillo then eighths
    0x1C, 0x03, 0xA7, 0x9E, 0x9C, 0x1C, 0x01, 0x87, 0x9A, 0x9B,  // C#2:3 C#2:3 G#2:2 C#3:2 C#2:1 C#2:1 E2:2 G#2:2
    0x18, 0x03, 0xA7, 0x9E, 0x9C, 0x18, 0x01, 0x87, 0x9B, 0x8A, 0x86,  // A1:3 A1:3 E2:2 A2:2 A1:1 A1:1 C#2:2 E2:1 D#2:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Track 4, 64 units, rows 2 6 10 16 18: bass E | B
    0x1F, 0x03, 0xA7, 0x9E, 0x9C, 0x1F, 0x01, 0x87, 0x9B, 0x9A,  // E2:3 E2:3 B2:2 E3:2 E2:1 E2:1 G#2:2 B2:2
    0x1A, 0x03, 0xA7, 0x9E, 0x9C, 0x1A, 0x01, 0x87, 0x9B, 0x8A, 0x89,  // B1:3 B1:3 F#2:2 B2:2 B1:1 B1:1 D#2:2 F#2:1 G#2:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Track 5, 64 units, rows 4 8 12 15 20 22: bass F#m | G# (cadence; the leading tone B# is written C)
    0x21, 0x03, 0xA7, 0x9E, 0x9C, 0x21, 0x01, 0x87, 0x9A, 0x9B,  // F#2:3 F#2:3 C#3:2 F#3:2 F#2:1 F#2:1 A2:2 C#3:2
    0x17, 0x03, 0xA7, 0x9E, 0x9C, 0x17, 0x01, 0x87, 0x9B, 0x8A, 0x84,  // G#1:3 G#1:3 D#2:2 G#2:2 G#1:1 G#1:1 C2:2 D#2:1 C2:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Track 6, 32 units, rows 1 3 4 14 15 21: arpeggio over C#m | A: chords C#m, C#m | Amaj7 (C#m over A), A6 (F#m over A)
    0x64, 0x02, 0x34, 0x02, 0x87, 0x87, 0x97, 0x87, 0x87, 0x97, 0x87, 0x87, 0x97, 0x97,  // i2 C#4:2 C#4:1 C#4:1 C#4:2 C#4:1 C#4:1 C#4:2 C#4:1 C#4:1 C#4:2 C#4:2
    0x97, 0x87, 0x87, 0x97, 0x97, 0xFC, 0x62,  // C#4:2 C#4:1 C#4:1 C#4:2 C#4:2 F#4:8 end

    // Track 7, 32 units, rows 2 16: arpeggio over E | B: chords Emaj7 (G#m over E) | B6 (G#m over B), B7sus2 (F#m over B)
    0x64, 0x02, 0x2F, 0x02, 0x87, 0x87, 0x97, 0x87, 0x87, 0x97, 0x87, 0x87, 0x97, 0x87, 0x87,  // i2 G#3:2 G#3:1 G#3:1 G#3:2 G#3:1 G#3:1 G#3:2 G#3:1 G#3:1 G#3:2 G#3:1 G#3:1
    0x97, 0x87, 0x87, 0x97, 0x97, 0xF5, 0x62,  // G#3:2 G#3:1 G#3:1 G#3:2 G#3:2 F#3:8 end

    // Track 8, 32 units, rows 5 9 17: theme 1 over C#m | A, answered by the arpeggio
    0x64, 0x03, 0x40, 0x04, 0x66, 0x02, 0x87, 0x89, 0xA8, 0x66, 0x01, 0xBB,  // i3 C#5:4 release:2 C#5:1 D#5:1 E5:3 release:1 G#5:4
    0xA5, 0xA5, 0x94, 0x89, 0xA8, 0x64, 0x02, 0x34, 0x02, 0x87, 0x87, 0x62,  // F#5:3 E5:3 C#5:2 D#5:1 E5:3 i2 C#4:2 C#4:1 C#4:1 end

    // Track 9, 32 units, rows 6 10 18: theme 2 over E | B, answered by the arpeggio
    0x64, 0x03, 0x3E, 0x04, 0x66, 0x02, 0x87, 0x89, 0xA9, 0x66, 0x01, 0xB8,  // i3 B4:4 release:2 B4:1 C#5:1 D#5:3 release:1 E5:4
    0xA9, 0xA5, 0x96, 0x85, 0xA5, 0x64, 0x02, 0x2F, 0x02, 0x87, 0x87, 0x62,  // F#5:3 E5:3 D#5:2 C#5:1 B4:3 i2 G#3:2 G#3:1 G#3:1 end

    // Track 10, 32 units, rows 7 11 19: theme 3 over C#m | A, the climb to C#6
    0x64, 0x03, 0x43, 0x04, 0x66, 0x02, 0x87, 0x89, 0xA9, 0x66, 0x01, 0x8A, 0xA9,  // i3 E5:4 release:2 E5:1 F#5:1 G#5:3 release:1 B5:1 C#6:3
    0xA5, 0xA5, 0x92, 0xA4, 0x66, 0x01, 0x8A, 0x87, 0x99, 0x62,  // B5:3 A5:3 E5:2 C#5:3 release:1 E5:1 E5:1 F#5:2 end

    // Track 11, 32 units, rows 8 12 20 22: theme 4 over F#m | G#, ending on the leading tone B# (written C5)
    0x64, 0x03, 0x45, 0x03, 0xA5, 0x94, 0xA3, 0x66, 0x01, 0x8B, 0x85, 0x89, 0x89,  // i3 F#5:3 E5:3 C#5:2 A4:3 release:1 C#5:1 B4:1 C#5:1 D#5:1
    0xA7, 0xA4, 0x93, 0x9B, 0x9A, 0x9A, 0x84, 0x84, 0x62,  // D#5:3 C5:3 G#4:2 C5:2 D#5:2 F#5:2 D#5:1 C5:1 end

    // Track 12, 64 units, rows 1 2 3 15: drums, build: kick on the beat, hats between
    0x64, 0x04, 0x3C, 0x02, 0x64, 0x06, 0x97, 0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:2 i4 K:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x97, 0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:2 i4 K:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x97, 0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:2 i4 K:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x97, 0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:2 i4 K:2 i6 H:1 H:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Track 13, 64 units, rows 5 6 7 9 10 11 17 18 19 21: drums, main beat: kick, hats, snare on 2 and 4
    0x64, 0x04, 0x3C, 0x02, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x64, 0x05, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 i5 S:1
    0x64, 0x04, 0x97, 0x87, 0x87, 0x64, 0x05, 0x97, 0x87, 0x87,  // i4 K:2 K:1 K:1 i5 S:2 S:1 S:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Track 14, 64 units, rows 4 8 12 16 20 22: drums, fill: main beat, then a rising snare roll
    0x64, 0x04, 0x3C, 0x02, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x05, 0x87, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88,  // i5 S:1 S+1:1 S+2:1 S+3:1 S+4:1 S+5:1 S+6:1 S+7:1
    0x00, 0x20, 0x62,  // second half, never heard: rest:32 end

    // Instruments: program; attack, decay (high, low nibble); sustain, release.
    0x00, 0x00, 0x90,  // instrument 0: bass: pluck program, sustain 9
    0x01, 0x40, 0x60,  // instrument 1: intro lead: soft 38 ms attack, sustain 6, cut at once on release
    0x02, 0x04, 0x72,  // instrument 2: arpeggio: sharp start, sustain 7
    0x03, 0x16, 0xB5,  // instrument 3: theme lead: vibrato program, sustain 11
    0x04, 0x05, 0x00,  // instrument 4: kick: decays to nothing
    0x05, 0x06, 0x00,  // instrument 5: snare
    0x06, 0x03, 0x00,  // instrument 6: hi-hat

    // Program table: addresses of programs 0 to 6.
    0x33, 0x17,  // program 0 at offset 565
    0x43, 0x17,  // program 1 at offset 581
    0x4B, 0x17,  // program 2 at offset 589
    0xDF, 0x17,  // program 3 at offset 737
    0x4F, 0x18,  // program 4 at offset 849
    0x6B, 0x18,  // program 5 at offset 877
    0x83, 0x18,  // program 6 at offset 901

    // Program 0: bass pluck: starts four octaves up and falls to the note in three ticks
    0xB0, 0x40, 0x80, 0x00,  //  +48 pulse w2048  1 tick
    0x92, 0x40, 0x80, 0x00,  //  +18 pulse w2048  1 tick
    0x85, 0x40, 0x80, 0x00,  //   +5 pulse w2048  1 tick
    0x80, 0x4F, 0x80, 0xE0,  //   +0 pulse w2048 16 ticks stop

    // Program 1: plain pulse, width 1280
    0x80, 0x40, 0x50, 0x00,  //   +0 pulse w1280  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 2: minor-triad arpeggio 0 +3 +7 +12, a tick each, the width swelling from thin through the square and back over 36 ticks
    0x80, 0x40, 0x40, 0x00,  //   +0 pulse w1024  1 tick
    0x83, 0x40, 0x47, 0x02,  //   +3 pulse w1138  1 tick
    0x87, 0x40, 0x4E, 0x04,  //   +7 pulse w1252  1 tick
    0x8C, 0x40, 0x55, 0x05,  //  +12 pulse w1365  1 tick
    0x80, 0x40, 0x5C, 0x07,  //   +0 pulse w1479  1 tick
    0x83, 0x40, 0x63, 0x09,  //   +3 pulse w1593  1 tick
    0x87, 0x40, 0x6A, 0x0B,  //   +7 pulse w1707  1 tick
    0x8C, 0x40, 0x71, 0x0C,  //  +12 pulse w1820  1 tick
    0x80, 0x40, 0x78, 0x0E,  //   +0 pulse w1934  1 tick
    0x83, 0x40, 0x80, 0x00,  //   +3 pulse w2048  1 tick
    0x87, 0x40, 0x87, 0x02,  //   +7 pulse w2162  1 tick
    0x8C, 0x40, 0x8E, 0x04,  //  +12 pulse w2276  1 tick
    0x80, 0x40, 0x95, 0x05,  //   +0 pulse w2389  1 tick
    0x83, 0x40, 0x9C, 0x07,  //   +3 pulse w2503  1 tick
    0x87, 0x40, 0xA3, 0x09,  //   +7 pulse w2617  1 tick
    0x8C, 0x40, 0xAA, 0x0B,  //  +12 pulse w2731  1 tick
    0x80, 0x40, 0xB1, 0x0C,  //   +0 pulse w2844  1 tick
    0x83, 0x40, 0xB8, 0x0E,  //   +3 pulse w2958  1 tick
    0x87, 0x40, 0xC0, 0x00,  //   +7 pulse w3072  1 tick
    0x8C, 0x40, 0xB8, 0x0E,  //  +12 pulse w2958  1 tick
    0x80, 0x40, 0xB1, 0x0C,  //   +0 pulse w2844  1 tick
    0x83, 0x40, 0xAA, 0x0B,  //   +3 pulse w2731  1 tick
    0x87, 0x40, 0xA3, 0x09,  //   +7 pulse w2617  1 tick
    0x8C, 0x40, 0x9C, 0x07,  //  +12 pulse w2503  1 tick
    0x80, 0x40, 0x95, 0x05,  //   +0 pulse w2389  1 tick
    0x83, 0x40, 0x8E, 0x04,  //   +3 pulse w2276  1 tick
    0x87, 0x40, 0x87, 0x02,  //   +7 pulse w2162  1 tick
    0x8C, 0x40, 0x80, 0x00,  //  +12 pulse w2048  1 tick
    0x80, 0x40, 0x78, 0x0E,  //   +0 pulse w1934  1 tick
    0x83, 0x40, 0x71, 0x0C,  //   +3 pulse w1820  1 tick
    0x87, 0x40, 0x6A, 0x0B,  //   +7 pulse w1707  1 tick
    0x8C, 0x40, 0x63, 0x09,  //  +12 pulse w1593  1 tick
    0x80, 0x40, 0x5C, 0x07,  //   +0 pulse w1479  1 tick
    0x83, 0x40, 0x55, 0x05,  //   +3 pulse w1365  1 tick
    0x87, 0x40, 0x4E, 0x04,  //   +7 pulse w1252  1 tick
    0x8C, 0x40, 0x47, 0x02,  //  +12 pulse w1138  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 3: singing lead: six plain ticks, then a semitone up or down for one tick in every four (a 6.25 Hz vibrato), the width sweeping
    0x80, 0x41, 0x60, 0x00,  //   +0 pulse w1536  2 ticks  plain
    0x80, 0x41, 0x68, 0x00,  //   +0 pulse w1664  2 ticks  plain
    0x80, 0x41, 0x70, 0x00,  //   +0 pulse w1792  2 ticks  plain
    0x80, 0x42, 0x78, 0x00,  //   +0 pulse w1920  3 ticks  vibrato cycle
    0x81, 0x40, 0x7C, 0x0B,  //   +1 pulse w1995  1 tick
    0x80, 0x42, 0x81, 0x05,  //   +0 pulse w2069  3 ticks
    0x7F, 0x40, 0x86, 0x00,  //   -1 pulse w2144  1 tick
    0x80, 0x42, 0x8A, 0x0B,  //   +0 pulse w2219  3 ticks  vibrato cycle
    0x81, 0x40, 0x8F, 0x05,  //   +1 pulse w2293  1 tick
    0x80, 0x42, 0x94, 0x00,  //   +0 pulse w2368  3 ticks
    0x7F, 0x40, 0x98, 0x0B,  //   -1 pulse w2443  1 tick
    0x80, 0x42, 0x9D, 0x05,  //   +0 pulse w2517  3 ticks  vibrato cycle
    0x81, 0x40, 0xA2, 0x00,  //   +1 pulse w2592  1 tick
    0x80, 0x42, 0xA6, 0x0B,  //   +0 pulse w2667  3 ticks
    0x7F, 0x40, 0xAB, 0x05,  //   -1 pulse w2741  1 tick
    0x80, 0x42, 0xB0, 0x00,  //   +0 pulse w2816  3 ticks  vibrato cycle
    0x81, 0x40, 0xAB, 0x05,  //   +1 pulse w2741  1 tick
    0x80, 0x42, 0xA6, 0x0B,  //   +0 pulse w2667  3 ticks
    0x7F, 0x40, 0xA2, 0x00,  //   -1 pulse w2592  1 tick
    0x80, 0x42, 0x9D, 0x05,  //   +0 pulse w2517  3 ticks  vibrato cycle
    0x81, 0x40, 0x98, 0x0B,  //   +1 pulse w2443  1 tick
    0x80, 0x42, 0x94, 0x00,  //   +0 pulse w2368  3 ticks
    0x7F, 0x40, 0x8F, 0x05,  //   -1 pulse w2293  1 tick
    0x80, 0x42, 0x8A, 0x0B,  //   +0 pulse w2219  3 ticks  vibrato cycle
    0x81, 0x40, 0x86, 0x00,  //   +1 pulse w2144  1 tick
    0x80, 0x42, 0x81, 0x05,  //   +0 pulse w2069  3 ticks
    0x7F, 0x40, 0x7C, 0x0B,  //   -1 pulse w1995  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 4: kick: triangle falling from G3 to G#1 (on the drum note A4)
    0x72, 0x10, 0x00, 0x00,  //  -14 tri   w   0  1 tick
    0x6C, 0x10, 0x00, 0x00,  //  -20 tri   w   0  1 tick
    0x67, 0x10, 0x00, 0x00,  //  -25 tri   w   0  1 tick
    0x63, 0x10, 0x00, 0x00,  //  -29 tri   w   0  1 tick
    0x60, 0x10, 0x00, 0x00,  //  -32 tri   w   0  1 tick
    0x5D, 0x10, 0x00, 0x00,  //  -35 tri   w   0  1 tick
    0x5B, 0x1F, 0x00, 0xE0,  //  -37 tri   w   0 16 ticks stop

    // Program 5: snare: a triangle knock, then noise falling in brightness, gated after 15 ticks
    0x74, 0x10, 0x00, 0x00,  //  -12 tri   w   0  1 tick  knock
    0x8C, 0x80, 0x00, 0x00,  //  +12 noise w   0  1 tick
    0x86, 0x80, 0x00, 0x00,  //   +6 noise w   0  1 tick
    0x82, 0x87, 0x00, 0x00,  //   +2 noise w   0  8 ticks
    0x80, 0x83, 0x00, 0x00,  //   +0 noise w   0  4 ticks
    0x80, 0x0F, 0x00, 0xE0,  //   +0 none  w   0 16 ticks stop  gate: holds the last value

    // Program 6: hi-hat: bright noise getting duller
    0x9E, 0x80, 0x00, 0x00,  //  +30 noise w   0  1 tick
    0x9A, 0x80, 0x00, 0x00,  //  +26 noise w   0  1 tick
    0x94, 0x8F, 0x00, 0xE0,  //  +20 noise w   0 16 ticks stop

    // Tick rate: 50 ticks per second.
    0x32, 0x00,
};

// Compile-time checks of the fixed layout: the header, the region
// boundaries, and that every track and program ends where the next begins.
namespace {

constexpr int SongBase = 0x14FE;

constexpr int SongWord(int offset) {
  return BuiltInSong[offset] | (BuiltInSong[offset + 1] << 8);
}

constexpr int TrackStartOffset(int track) { return SongWord(81 + 2 * track) - SongBase; }
constexpr int ProgramStartOffset(int program) { return SongWord(551 + 2 * program) - SongBase; }

consteval bool HeaderIsFixed() {
  return SongWord(0) == 0x1500 && SongWord(2) == 0x154F && SongWord(4) == 0x1710 &&
         SongWord(6) == 0x1725 && SongWord(8) == 0x188F && BuiltInSong[10] == 68 &&
         BuiltInSong[11] == 5 && SongWord(913) == 50;
}

// Length in bytes of the track command at offset p (0 for an illegal byte).
constexpr int CommandLength(int p) {
  const int c = BuiltInSong[p];
  if (c == 0 || (c >= 1 && c <= 97) || c == 100 || c == 102) return 2;
  if (c == 98 || c >= 128) return 1;
  return 0;
}

// Every track runs from its table entry to an end marker that sits just
// before the next track (the last one just before the instrument table).
consteval bool TracksFillTheirRegion() {
  if (TrackStartOffset(0) != 111) return false;
  for (int t = 0; t < 15; ++t) {
    const int end = t < 14 ? TrackStartOffset(t + 1) : 530;
    int p = TrackStartOffset(t);
    while (p < end - 1) {
      const int length = CommandLength(p);
      if (length == 0 || BuiltInSong[p] == 98) return false;
      p += length;
    }
    if (p != end - 1 || BuiltInSong[p] != 98) return false;
  }
  return true;
}

// Programs are whole 4-byte steps, follow each other without gaps, never
// start with a loop marker and end with a stop step or a loop marker.
consteval bool ProgramsFillTheirRegion() {
  if (ProgramStartOffset(0) != 565) return false;
  for (int n = 0; n < 7; ++n) {
    const int start = ProgramStartOffset(n);
    const int end = n < 6 ? ProgramStartOffset(n + 1) : 913;
    if (end <= start || (end - start) % 4 != 0) return false;
    if (BuiltInSong[start + 3] >> 4 == 15) return false;
    const int lastControl = BuiltInSong[end - 1] >> 4;
    if (lastControl != 14 && lastControl != 15) return false;
  }
  return true;
}

static_assert(HeaderIsFixed(), "header words, order length, unit or tick rate changed");
static_assert(TracksFillTheirRegion(), "tracks must fill offsets 111 to 529 exactly");
static_assert(ProgramsFillTheirRegion(), "programs must fill offsets 565 to 912 exactly");

}  // namespace
