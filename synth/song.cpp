// The built-in song: C# minor at 150 beats per minute, 23 rows of two 4/4
// bars each (32 units of 5 ticks, 3.2 s), 73.6 s per pass before it starts
// again. Music and pictures start together, so the first 51 s are scored to
// the show: titles (rows 0-2: intro), balls (the theme enters at 10.0 s, one
// beat into row 3, and cadences at 20.8 s), rings (arpeggios enter at 21.0 s,
// half a beat after the cadence; the beat returns in row 9), landscape (the
// kick opens the finale at 36.0 s, two beats into row 11; the theme again
// over the full beat, home on C# at 49.6 s, held past the close at 51.0 s).
// Rows 16-22 play on for whoever listens to the loop and wind down into the
// intro. The theme runs over C#m A | E B | C#m A | G# C#m.
//
// Channel 0 plays the bass, channel 1 the lead melody and the arpeggios,
// channel 2 the drums. Channel 1's tracks are exactly 32 units long, so its
// end marker ends every row; the bass and drum tracks are written 64 units
// long and their second halves are never heard.
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

// clang-format off
constexpr std::uint8_t BuiltInSong[915] = {
    // Header: addresses of offset 2, the track table, the instrument table, the program
    // table and the tick-rate word (base 0x14FE); order length 68; unit 5 ticks.
    0x00, 0x15, 0x4F, 0x15, 0x10, 0x17, 0x25, 0x17, 0x8F, 0x18, 0x44, 0x05,

    // Order list: tracks for channels 0 (bass), 1 (lead), 2 (drums); 23 rows of 3.2 s.
     0,  1,  2,  // row  0,  0.0 s: titles: intro: C# pedal, broken chords, no drums
     0,  1,  2,  // row  1,  3.2 s: titles: intro again (new title lines at 3.0 and 6.0 s)
     0,  9,  2,  // row  2,  6.4 s: titles: arpeggios over the pedal
     3,  6, 12,  // row  3,  9.6 s: balls: snare pickup; theme, kick and beat at 10.0 s (unit 4)
     4,  7, 11,  // row  4, 12.8 s: balls: theme over E B
     3,  6, 11,  // row  5, 16.0 s: balls: the theme's opening again over C#m A
     5,  8, 14,  // row  6, 19.2 s: balls: G#, C#m at 20.8 s; crack and arpeggios at 21.0 s (unit 18)
     3,  9,  2,  // row  7, 22.4 s: rings: arpeggios C#m F#m/A, no drums
     4, 10,  2,  // row  8, 25.6 s: rings: arpeggios C#m/E G#m/B, no drums
     3,  9, 11,  // row  9, 28.8 s: rings: the beat returns
     4, 10, 11,  // row 10, 32.0 s: rings: C#m/E G#m/B
     0,  9, 13,  // row 11, 35.2 s: rings: C# pedal, snare roll; the kick opens the finale at 36.0 s (unit 8)
     3,  6, 11,  // row 12, 38.4 s: landscape: the theme again over the beat
     4,  7, 11,  // row 13, 41.6 s: landscape: theme over E B
     3,  6, 11,  // row 14, 44.8 s: landscape: the theme's opening over C#m A
     5,  8, 14,  // row 15, 48.0 s: landscape: G#, then C# at 49.6 s, held past the close at 51.0 s
     3,  9, 11,  // row 16, 51.2 s: after the show: arpeggios over the beat
     4, 10, 11,  // row 17, 54.4 s: after the show: C#m/E G#m/B
     3,  9, 11,  // row 18, 57.6 s: after the show: C#m F#m/A
     4, 10, 11,  // row 19, 60.8 s: after the show: C#m/E G#m/B
     5,  8, 14,  // row 20, 64.0 s: after the show: the cadence again
     3,  9,  2,  // row 21, 67.2 s: after the show: the drums stop
     0,  9,  2,  // row 22, 70.4 s: after the show: the pedal, back to the intro

    // Track table: addresses of tracks 0 to 14.
    0x6D, 0x15,  // track  0 at offset 111
    0x7F, 0x15,  // track  1 at offset 129
    0x97, 0x15,  // track  2 at offset 153
    0x9A, 0x15,  // track  3 at offset 156
    0xC7, 0x15,  // track  4 at offset 201
    0xF4, 0x15,  // track  5 at offset 246
    0x0F, 0x16,  // track  6 at offset 273
    0x21, 0x16,  // track  7 at offset 291
    0x2F, 0x16,  // track  8 at offset 305
    0x3E, 0x16,  // track  9 at offset 320
    0x48, 0x16,  // track 10 at offset 330
    0x52, 0x16,  // track 11 at offset 340
    0x86, 0x16,  // track 12 at offset 392
    0xB3, 0x16,  // track 13 at offset 437
    0xE8, 0x16,  // track 14 at offset 490

    // Track 0, 64 units, rows 0 1 2 11 22: bass, intro: C#2 struck every beat (pedal under the titles and before the finale)
    0x1C, 0x04, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7,  // C#2:4 C#2:4 C#2:4 C#2:4
    0xB7, 0xB7, 0xB7, 0xB7, 0x62,  // C#2:4 C#2:4 C#2:4 C#2:4 end

    // Track 1, 32 units, rows 0 1: lead, intro: staccato broken chords C#m C#m | A/C# F#m/C#
    0x64, 0x01, 0x28, 0x02, 0x9A, 0x9B, 0x66, 0x02,  // i1 C#3:2 E3:2 G#3:2 release:2
    0x90, 0x9A, 0x9B, 0x66, 0x02,  // C#3:2 E3:2 G#3:2 release:2
    0x90, 0x9A, 0x9C, 0x66, 0x02, 0x28, 0x02, 0x9C, 0x9A, 0x9B, 0x62,  // C#3:2 E3:2 A3:2 release:2 C#3:2 F#3:2 A3:2 C#4:2 end

    // Track 2, 64 units, rows 0 1 2 7 8 21 22: drums, silent: a 64-unit rest
    0x00, 0x40, 0x62,  // rest:64 end

    // Track 3, 64 units, rows 3 5 7 9 12 14 16 18 21: bass C#m | A: short notes, a tresillo then eighths, on the chord's notes
    0x1C, 0x02, 0x66, 0x01, 0x87, 0x66, 0x02, 0x9E,  // C#2:2 release:1 C#2:1 release:2 G#2:2
    0x8C, 0x66, 0x01, 0x1C, 0x01, 0x66, 0x01, 0x8A, 0x66, 0x01, 0x8B, 0x66, 0x01,  // C#3:1 release:1 C#2:1 release:1 E2:1 release:1 G#2:1 release:1
    0x18, 0x02, 0x66, 0x01, 0x87, 0x66, 0x02, 0x9B,  // A1:2 release:1 A1:1 release:2 C#2:2
    0x8F, 0x66, 0x01, 0x18, 0x01, 0x66, 0x01, 0x8B, 0x66, 0x01, 0x8F, 0x66, 0x01,  // A2:1 release:1 A1:1 release:1 C#2:1 release:1 A2:1 release:1
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 4, 64 units, rows 4 8 10 13 17 19: bass E | B
    0x1F, 0x02, 0x66, 0x01, 0x87, 0x66, 0x02, 0x9B,  // E2:2 release:1 E2:1 release:2 G#2:2
    0x8F, 0x66, 0x01, 0x1F, 0x01, 0x66, 0x01, 0x8B, 0x66, 0x01, 0x8F, 0x66, 0x01,  // E3:1 release:1 E2:1 release:1 G#2:1 release:1 E3:1 release:1
    0x1A, 0x02, 0x66, 0x01, 0x87, 0x66, 0x02, 0x9B,  // B1:2 release:1 B1:1 release:2 D#2:2
    0x8F, 0x66, 0x01, 0x1A, 0x01, 0x66, 0x01, 0x8B, 0x66, 0x01, 0x8F, 0x66, 0x01,  // B2:1 release:1 B1:1 release:1 D#2:1 release:1 B2:1 release:1
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 5, 64 units, rows 6 15 20: bass G# | C#: the dominant with its leading tone B#, then the tonic held
    0x17, 0x02, 0x66, 0x01, 0x87, 0x66, 0x02, 0x9E,  // G#1:2 release:1 G#1:1 release:2 D#2:2
    0x8C, 0x66, 0x01, 0x17, 0x01, 0x66, 0x01, 0x8B, 0x66, 0x01, 0x8A, 0x66, 0x01,  // G#2:1 release:1 G#1:1 release:1 B#1:1 release:1 D#2:1 release:1
    0xF5, 0x00, 0x08,  // C#2:8 rest:8
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 6, 32 units, rows 3 5 12 14: lead, theme bars 1-2 (and 5-6) over C#m | A: a beat's silence, then the tune
    0x66, 0x04, 0x64, 0x03, 0x3B, 0x02, 0x9C,  // release:4 i3 G#4:2 C#5:2
    0xAA, 0x66, 0x01, 0x96, 0x95,  // E5:3 release:1 D#5:2 C#5:2
    0xDA, 0x94, 0xB3, 0x99, 0x99, 0x62,  // E5:6 C#5:2 A4:4 B4:2 C#5:2 end

    // Track 7, 32 units, rows 4 13: lead, theme bars 3-4 over E | B
    0x64, 0x03, 0x43, 0x04, 0x96, 0x98,  // i3 E5:4 D#5:2 E5:2
    0xCB, 0x66, 0x01, 0x95,  // G#5:5 release:1 F#5:2
    0xD4, 0x95, 0xF5, 0x62,  // D#5:6 C#5:2 B4:8 end

    // Track 8, 32 units, rows 6 15 20: lead, theme bars 7-8 over G# | C#: down to the leading tone, home, then the arpeggio
    0x64, 0x03, 0x47, 0x04, 0x95, 0x95,  // i3 G#5:4 F#5:2 E5:2
    0xA6, 0x85, 0xB6,  // D#5:3 C#5:1 B#4:4
    0x98, 0x64, 0x02, 0x34, 0x0E, 0x62,  // C#5:2 i2 C#4:14 end

    // Track 9, 32 units, rows 2 7 9 11 16 18 21 22: arpeggio C#m | F#m, struck 3 + 3 + 2 eighths
    0x64, 0x02, 0x34, 0x06, 0xD7, 0xB7,  // i2 C#4:6 C#4:6 C#4:4
    0xD0, 0xD7, 0xB7, 0x62,  // F#3:6 F#3:6 F#3:4 end

    // Track 10, 32 units, rows 8 10 17 19: arpeggio C#m | G#m
    0x64, 0x02, 0x34, 0x06, 0xD7, 0xB7,  // i2 C#4:6 C#4:6 C#4:4
    0xD2, 0xD7, 0xB7, 0x62,  // G#3:6 G#3:6 G#3:4 end

    // Track 11, 64 units, rows 4 5 9 10 12 13 14 16 17 18 19: drums, main beat: kick on 1 and 3, snare on 2 and 4, hats between
    0x64, 0x04, 0x3C, 0x02, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 S:1 S:1
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 12, 64 units, rows 3: drums, entry: a beat of rising snare, then the kick opens the beat
    0x64, 0x05, 0x3C, 0x01, 0x88, 0x88, 0x88, 0x64, 0x04, 0xB4,  // i5 S:1 S+1:1 S+2:1 S+3:1 i4 K:4
    0x97, 0x97, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // K:2 K:2 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 S:1 S:1
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 13, 64 units, rows 11: drums, into the finale: two beats of rising snare, then the kick
    0x64, 0x05, 0x3C, 0x01, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88,  // i5 S:1 S+1:1 S+2:1 S+3:1 S+4:1 S+5:1 S+6:1 S+7:1
    0x64, 0x04, 0x90, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x04, 0x97, 0x97, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 K:2 i5 S:2 i6 H:1 H:1
    0x00, 0x20, 0x62,  // rest:32 end

    // Track 14, 64 units, rows 6 15 20: drums, cadence: beat, snare run into the tonic, an off-beat crack, then light
    0x64, 0x04, 0x3C, 0x02, 0x64, 0x06, 0x87, 0x87, 0x64, 0x05, 0x97, 0x64, 0x06, 0x87, 0x87,  // i4 K:2 i6 H:1 H:1 i5 S:2 i6 H:1 H:1
    0x64, 0x05, 0x87, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88,  // i5 S:1 S+1:1 S+2:1 S+3:1 S+4:1 S+5:1 S+6:1 S+7:1
    0x64, 0x04, 0x90, 0x64, 0x05, 0xD7,  // i4 K:2 i5 S:6
    0x64, 0x04, 0xB7, 0x64, 0x06, 0xB7,  // i4 K:4 i6 H:4
    0x00, 0x20, 0x62,  // rest:32 end

    // Instruments: program; attack, decay (high, low nibble); sustain, release.
    0x00, 0x00, 0x90,  // instrument 0: bass: pluck program, sustain 9
    0x01, 0x40, 0x60,  // instrument 1: intro lead: soft 38 ms attack, sustain 6, cut at once on release
    0x02, 0x15, 0x72,  // instrument 2: arpeggio: 8 ms attack, short accent, sustain 7
    0x03, 0x16, 0x94,  // instrument 3: theme lead: vibrato program, 8 ms attack, sustain 9, gentle release
    0x04, 0x08, 0x00,  // instrument 4: kick: falls from its peak, no sustain
    0x05, 0x09, 0x00,  // instrument 5: snare: falls from its peak, no sustain
    0x06, 0x03, 0x00,  // instrument 6: hi-hat: short fall

    // Program table: addresses of programs 0 to 6.
    0x33, 0x17,  // program 0 at offset 565
    0x43, 0x17,  // program 1 at offset 581
    0x4B, 0x17,  // program 2 at offset 589
    0xCF, 0x17,  // program 3 at offset 721
    0x53, 0x18,  // program 4 at offset 853
    0x6B, 0x18,  // program 5 at offset 877
    0x83, 0x18,  // program 6 at offset 901

    // Program 0: bass pluck: starts four octaves up and falls to the note in three ticks
    0xB0, 0x40, 0x80, 0x00,  //   +48 pulse w2048  1 tick
    0x92, 0x40, 0x80, 0x00,  //   +18 pulse w2048  1 tick
    0x85, 0x40, 0x80, 0x00,  //    +5 pulse w2048  1 tick
    0x80, 0x4F, 0x80, 0xE0,  //    +0 pulse w2048 16 ticks  stop

    // Program 1: plain pulse, width 1280
    0x80, 0x40, 0x50, 0x00,  //    +0 pulse w1280  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 2: minor-triad arpeggio 0 +3 +7 +12, a tick each, the width swelling from thin to the square and back over 32 ticks
    0x80, 0x40, 0x18, 0x00,  //    +0 pulse w 384  1 tick
    0x83, 0x40, 0x1E, 0x08,  //    +3 pulse w 488  1 tick
    0x87, 0x40, 0x25, 0x00,  //    +7 pulse w 592  1 tick
    0x8C, 0x40, 0x2B, 0x08,  //   +12 pulse w 696  1 tick
    0x80, 0x40, 0x32, 0x00,  //    +0 pulse w 800  1 tick
    0x83, 0x40, 0x38, 0x08,  //    +3 pulse w 904  1 tick
    0x87, 0x40, 0x3F, 0x00,  //    +7 pulse w1008  1 tick
    0x8C, 0x40, 0x45, 0x08,  //   +12 pulse w1112  1 tick
    0x80, 0x40, 0x4C, 0x00,  //    +0 pulse w1216  1 tick
    0x83, 0x40, 0x52, 0x08,  //    +3 pulse w1320  1 tick
    0x87, 0x40, 0x59, 0x00,  //    +7 pulse w1424  1 tick
    0x8C, 0x40, 0x5F, 0x08,  //   +12 pulse w1528  1 tick
    0x80, 0x40, 0x66, 0x00,  //    +0 pulse w1632  1 tick
    0x83, 0x40, 0x6C, 0x08,  //    +3 pulse w1736  1 tick
    0x87, 0x40, 0x73, 0x00,  //    +7 pulse w1840  1 tick
    0x8C, 0x40, 0x79, 0x08,  //   +12 pulse w1944  1 tick
    0x80, 0x40, 0x80, 0x00,  //    +0 pulse w2048  1 tick
    0x83, 0x40, 0x79, 0x08,  //    +3 pulse w1944  1 tick
    0x87, 0x40, 0x73, 0x00,  //    +7 pulse w1840  1 tick
    0x8C, 0x40, 0x6C, 0x08,  //   +12 pulse w1736  1 tick
    0x80, 0x40, 0x66, 0x00,  //    +0 pulse w1632  1 tick
    0x83, 0x40, 0x5F, 0x08,  //    +3 pulse w1528  1 tick
    0x87, 0x40, 0x59, 0x00,  //    +7 pulse w1424  1 tick
    0x8C, 0x40, 0x52, 0x08,  //   +12 pulse w1320  1 tick
    0x80, 0x40, 0x4C, 0x00,  //    +0 pulse w1216  1 tick
    0x83, 0x40, 0x45, 0x08,  //    +3 pulse w1112  1 tick
    0x87, 0x40, 0x3F, 0x00,  //    +7 pulse w1008  1 tick
    0x8C, 0x40, 0x38, 0x08,  //   +12 pulse w 904  1 tick
    0x80, 0x40, 0x32, 0x00,  //    +0 pulse w 800  1 tick
    0x83, 0x40, 0x2B, 0x08,  //    +3 pulse w 696  1 tick
    0x87, 0x40, 0x25, 0x00,  //    +7 pulse w 592  1 tick
    0x8C, 0x40, 0x1E, 0x08,  //   +12 pulse w 488  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 3: singing lead: eight plain ticks, then a semitone up or down for one tick in every four (a 6.25 Hz vibrato), the width drifting
    0x80, 0x41, 0x60, 0x00,  //    +0 pulse w1536  2 ticks  plain
    0x80, 0x41, 0x68, 0x00,  //    +0 pulse w1664  2 ticks
    0x80, 0x41, 0x70, 0x00,  //    +0 pulse w1792  2 ticks
    0x80, 0x41, 0x78, 0x00,  //    +0 pulse w1920  2 ticks
    0x80, 0x42, 0x80, 0x00,  //    +0 pulse w2048  3 ticks  vibrato cycle
    0x81, 0x40, 0x80, 0x00,  //    +1 pulse w2048  1 tick
    0x80, 0x42, 0x84, 0x00,  //    +0 pulse w2112  3 ticks
    0x7F, 0x40, 0x84, 0x00,  //    -1 pulse w2112  1 tick
    0x80, 0x42, 0x78, 0x00,  //    +0 pulse w1920  3 ticks  vibrato cycle
    0x81, 0x40, 0x78, 0x00,  //    +1 pulse w1920  1 tick
    0x80, 0x42, 0x7C, 0x00,  //    +0 pulse w1984  3 ticks
    0x7F, 0x40, 0x7C, 0x00,  //    -1 pulse w1984  1 tick
    0x80, 0x42, 0x70, 0x00,  //    +0 pulse w1792  3 ticks  vibrato cycle
    0x81, 0x40, 0x70, 0x00,  //    +1 pulse w1792  1 tick
    0x80, 0x42, 0x74, 0x00,  //    +0 pulse w1856  3 ticks
    0x7F, 0x40, 0x74, 0x00,  //    -1 pulse w1856  1 tick
    0x80, 0x42, 0x68, 0x00,  //    +0 pulse w1664  3 ticks  vibrato cycle
    0x81, 0x40, 0x68, 0x00,  //    +1 pulse w1664  1 tick
    0x80, 0x42, 0x6C, 0x00,  //    +0 pulse w1728  3 ticks
    0x7F, 0x40, 0x6C, 0x00,  //    -1 pulse w1728  1 tick
    0x80, 0x42, 0x60, 0x00,  //    +0 pulse w1536  3 ticks  vibrato cycle
    0x81, 0x40, 0x60, 0x00,  //    +1 pulse w1536  1 tick
    0x80, 0x42, 0x5C, 0x00,  //    +0 pulse w1472  3 ticks
    0x7F, 0x40, 0x5C, 0x00,  //    -1 pulse w1472  1 tick
    0x80, 0x42, 0x68, 0x00,  //    +0 pulse w1664  3 ticks  vibrato cycle
    0x81, 0x40, 0x68, 0x00,  //    +1 pulse w1664  1 tick
    0x80, 0x42, 0x64, 0x00,  //    +0 pulse w1600  3 ticks
    0x7F, 0x40, 0x64, 0x00,  //    -1 pulse w1600  1 tick
    0x80, 0x42, 0x70, 0x00,  //    +0 pulse w1792  3 ticks  vibrato cycle
    0x81, 0x40, 0x70, 0x00,  //    +1 pulse w1792  1 tick
    0x80, 0x42, 0x6C, 0x00,  //    +0 pulse w1728  3 ticks
    0x7F, 0x40, 0x6C, 0x00,  //    -1 pulse w1728  1 tick
    0x80, 0x00, 0x00, 0xF0,  // loop back to the first step

    // Program 4: kick: three ticks of square falling from C#3 to C2, then a triangle falling to F1 (on the drum note A4)
    0x6C, 0x40, 0x80, 0x00,  //   -20 pulse w2048  1 tick   punch
    0x64, 0x40, 0x80, 0x00,  //   -28 pulse w2048  1 tick
    0x5F, 0x40, 0x80, 0x00,  //   -33 pulse w2048  1 tick
    0x5C, 0x10, 0x00, 0x00,  //   -36 tri   w   0  1 tick   tail
    0x5A, 0x11, 0x00, 0x00,  //   -38 tri   w   0  2 ticks
    0x58, 0x1F, 0x00, 0xE0,  //   -40 tri   w   0 16 ticks  stop

    // Program 5: snare: a triangle knock, then noise falling in brightness
    0x70, 0x10, 0x00, 0x00,  //   -16 tri   w   0  1 tick   knock
    0x98, 0x80, 0x00, 0x00,  //   +24 noise w   0  1 tick
    0x8C, 0x80, 0x00, 0x00,  //   +12 noise w   0  1 tick
    0x86, 0x83, 0x00, 0x00,  //    +6 noise w   0  4 ticks
    0x82, 0x87, 0x00, 0x00,  //    +2 noise w   0  8 ticks
    0x80, 0x8F, 0x00, 0xE0,  //    +0 noise w   0 16 ticks  stop

    // Program 6: hi-hat: bright noise getting duller
    0x9E, 0x80, 0x00, 0x00,  //   +30 noise w   0  1 tick
    0x9A, 0x80, 0x00, 0x00,  //   +26 noise w   0  1 tick
    0x94, 0x8F, 0x00, 0xE0,  //   +20 noise w   0 16 ticks  stop

    // Tick rate: 50 ticks per second.
    0x32, 0x00,
};
// clang-format on

// Compile-time checks of the fixed layout: the header, the region
// boundaries, and that every track and program ends where the next begins.
namespace {

constexpr int SongBase = 0x14FE;

constexpr int SongWord(int offset) {
    return BuiltInSong[offset] | (BuiltInSong[offset + 1] << 8);
}

constexpr int TrackStartOffset(int track) {
    return SongWord(81 + 2 * track) - SongBase;
}
constexpr int ProgramStartOffset(int program) {
    return SongWord(551 + 2 * program) - SongBase;
}

consteval bool HeaderIsFixed() {
    return SongWord(0) == 0x1500 && SongWord(2) == 0x154F && SongWord(4) == 0x1710 && SongWord(6) == 0x1725 &&
           SongWord(8) == 0x188F && BuiltInSong[10] == 68 && BuiltInSong[11] == 5 && SongWord(913) == 50;
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
