#include "song_text.h"

#include <array>
#include <cstdarg>
#include <cstdio>

#include "synth/image_access.h"

namespace {

void Line(std::string& out, const char* pattern, ...) {
    char text[256];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    out += text;
    out += '\n';
}

struct Used {
    std::array<bool, 256> Is{};
};

std::string WaveNames(int waves) {
    static const char* const names[] = {"triangle", "saw", "pulse", "noise"};
    std::string text;
    for (int bit = 0; bit < 4; ++bit) {
        if (!(waves & (1 << bit))) continue;
        if (!text.empty()) text += '+';
        text += names[bit];
    }
    return text.empty() ? "none" : text;
}

void DescribeHeader(const Synth& s, std::string& out) {
    const SongLayout& l = s.Layout;
    Line(out, "Song image: %zu bytes, base address 0x%04X", s.SongBytes.size(), unsigned{l.Base});
    Line(out, "Offsets: track table %u, instrument table %u, program table %u, tick-rate word %u",
         unsigned{l.TrackTableOffset}, unsigned{l.InstrumentTableOffset}, unsigned{l.ProgramTableOffset},
         unsigned{l.TickRateOffset});
    Line(out, "Tick rate %u per second; duration unit %u ticks; order length %u bytes (%d rows)",
         unsigned{l.TicksPerSecond}, unsigned{l.DurationUnit}, unsigned{l.OrderLength}, OrderRowCount(l));
    const std::int64_t ticks = SongLoopTicks(s);
    Line(out, "One loop: %lld ticks, %.2f s", static_cast<long long>(ticks),
         static_cast<double>(ticks) / l.TicksPerSecond);
}

void DescribeOrder(const Synth& s, std::string& out, Used& tracks) {
    Line(out, "\nOrder list (tracks for channels 0, 1, 2)");
    for (int row = 0; row < OrderRowCount(s.Layout); ++row) {
        const std::uint16_t at = static_cast<std::uint16_t>(OrderListOffset + 3 * row);
        const unsigned t0 = ImageByte(s, at), t1 = ImageByte(s, at + 1), t2 = ImageByte(s, at + 2);
        Line(out, "  row %3d (byte %3d): %3u %3u %3u", row, 3 * row, t0, t1, t2);
        tracks.Is[t0] = tracks.Is[t1] = tracks.Is[t2] = true;
    }
}

std::string NoteAfter(int base, int step) {
    const int note = (base + step) & 255;
    if (note >= LowestNote && note <= HighestNote) return NoteName(note);
    char text[16];
    std::snprintf(text, sizeof text, "note %d", note);
    return text;
}

void DescribeTrack(const Synth& s, std::uint8_t track, std::string& out, Used& instruments) {
    std::string lines;
    int units = 0, base = -1;  // base note unknown until the track sets one
    std::uint16_t p = TrackStart(s, track);
    const std::uint16_t start = p;
    for (;;) {
        const std::uint8_t c = ImageByte(s, p);
        if (c == EndOfTrack) {
            Line(lines, "    %5u  end", unsigned{p});
            break;
        }
        if (c >= FirstRelativeNote) {
            const int step = (c & 15) - 7, length = (c >> 4) - 7;
            units += length;
            if (base >= 0) base = (base + step) & 255;
            const std::string name = base >= 0 ? NoteAfter(base, 0) : "?";
            Line(lines, "    %5u  %-8s %+3d  %3d", unsigned{p}, name.c_str(), step, length);
            p += 1;
            continue;
        }
        const std::uint8_t d = ImageByte(s, p + 1);
        if (c == InstrumentSelect) {
            instruments.Is[d] = true;
            Line(lines, "    %5u  instrument %u", unsigned{p}, unsigned{d});
        } else if (c == RestCommand) {
            units += d;
            Line(lines, "    %5u  rest          %3u", unsigned{p}, unsigned{d});
        } else if (c == ReleaseCommand) {
            units += d;
            Line(lines, "    %5u  release       %3u", unsigned{p}, unsigned{d});
        } else {
            units += d;
            base = c;
            Line(lines, "    %5u  %-8s      %3u", unsigned{p}, NoteName(c).c_str(), unsigned{d});
        }
        p += 2;
    }
    Line(out, "\nTrack %u (offset %u, %d units)", unsigned{track}, unsigned{start}, units);
    out += lines;
}

void DescribeInstrument(const Synth& s, std::uint8_t i, std::string& out, Used& programs) {
    const std::uint16_t record = InstrumentRecord(s.Layout, i);
    const unsigned program = ImageByte(s, record), rates = ImageByte(s, record + 1),
                   levels = ImageByte(s, record + 2);
    programs.Is[program] = true;
    Line(out, "  %3u: program %u, attack %u (%d ms), decay %u, sustain %u, release %u", unsigned{i}, program,
         rates >> 4, AttackTimes[rates >> 4], rates & 15, levels >> 4, levels & 15);
}

void DescribeProgram(const Synth& s, std::uint8_t program, std::string& out) {
    const std::uint16_t start = ProgramStart(s, program);
    Line(out, "\nProgram %u (offset %u)", unsigned{program}, unsigned{start});
    for (std::uint16_t q = start, step = 0;; q += 4, ++step) {
        const unsigned s0 = ImageByte(s, q), s1 = ImageByte(s, q + 1), s2 = ImageByte(s, q + 2),
                       s3 = ImageByte(s, q + 3);
        const unsigned control = s3 >> 4;
        if (control == LoopControl && q != start) {
            Line(out, "    %3u  loop back to step 0", unsigned{step});
            return;
        }
        Line(out, "    %3u  note %+4d  %-20s width %4u  %2u tick%s%s", unsigned{step},
             static_cast<int>(s0) - 128, WaveNames(static_cast<int>(s1 >> 4)).c_str(), (s2 << 4) + (s3 & 15),
             (s1 & 15) + 1, (s1 & 15) ? "s" : "", control == StopControl ? "  stop" : "");
        if (control == StopControl) return;
    }
}

}  // namespace

std::string NoteName(int note) {
    static const char* const names[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                          "F#", "G-", "G#", "A-", "A#", "B-"};
    const int midi = note + 9;  // note 60 is A-4, MIDI 69
    const int octave = midi / 12 - 1;
    return names[midi % 12] + std::to_string(octave);
}

std::string DescribeSong(const Synth& synth) {
    std::string out;
    Used tracks, instruments, programs;
    instruments.Is[0] = true;  // the default of every row
    DescribeHeader(synth, out);
    DescribeOrder(synth, out, tracks);
    for (int t = 0; t < 256; ++t)
        if (tracks.Is[t]) DescribeTrack(synth, static_cast<std::uint8_t>(t), out, instruments);
    Line(out, "\nInstruments (rates index the envelope time tables; sustain in fifteenths)");
    for (int i = 0; i < 256; ++i)
        if (instruments.Is[i]) DescribeInstrument(synth, static_cast<std::uint8_t>(i), out, programs);
    for (int p = 0; p < 256; ++p)
        if (programs.Is[p]) DescribeProgram(synth, static_cast<std::uint8_t>(p), out);
    return out;
}
