// Reading the song header and checking an image before anything plays. The
// check walks the image the way the sequencer will: the rows the order list
// plays, the tracks they name, every instrument those tracks can select (and
// instrument 0, the default of every row), and the program of each such
// instrument. Whatever the sequencer can read is then inside the image.
#include <array>
#include <cstdio>
#include <string>

#include "dxvornik.h"
#include "image_access.h"

namespace {

constexpr std::size_t HeaderBytes = 12;

std::string Format(const char* pattern, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

bool Inside(std::size_t imageSize, std::uint32_t offset, std::uint32_t length) {
    return offset + length <= imageSize;
}

bool IsTimedCommand(std::uint8_t c) {
    return c <= HighestNote || c == ReleaseCommand || c >= FirstRelativeNote;
}

SongLayout ReadHeader(const Synth& s) {
    SongLayout layout;
    layout.Base = static_cast<std::uint16_t>(ImageWord(s, 0) - 2);
    layout.TrackTableOffset = AddressToOffset(layout, ImageWord(s, 2));
    layout.InstrumentTableOffset = AddressToOffset(layout, ImageWord(s, 4));
    layout.ProgramTableOffset = AddressToOffset(layout, ImageWord(s, 6));
    layout.TickRateOffset = AddressToOffset(layout, ImageWord(s, 8));
    layout.OrderLength = ImageByte(s, 10);
    layout.DurationUnit = ImageByte(s, 11);
    return layout;
}

// The numbers in use, in the order first met, each with its first user (a
// track for an instrument, an instrument for a program; -1: every row's
// default), so that a message can say where a bad number came from.
struct UsedSet {
    std::array<bool, 256> Seen{};
    std::array<std::uint8_t, 256> List{};
    std::array<int, 256> By{};
    int Count = 0;
    void Add(std::uint8_t n, int by) {
        if (!Seen[n]) {
            Seen[n] = true;
            By[n] = by;
            List[Count++] = n;
        }
    }
};

std::string CheckTableStarts(const Synth& s) {
    const std::size_t size = s.SongBytes.size();
    const SongLayout& l = s.Layout;
    const struct {
        const char* name;
        std::uint16_t offset;
    } tables[] = {
        {"track table", l.TrackTableOffset},
        {"instrument table", l.InstrumentTableOffset},
        {"program table", l.ProgramTableOffset},
    };
    for (const auto& table : tables)
        if (!Inside(size, table.offset, 1))
            return Format("the %s starts at offset %u, outside the %zu-byte image", table.name,
                          unsigned{table.offset}, size);
    return "";
}

std::string CheckOrderList(const Synth& s, UsedSet& tracks) {
    const std::size_t size = s.SongBytes.size();
    const int rows = OrderRowCount(s.Layout);
    const std::uint32_t end = OrderListOffset + 3u * rows;
    if (!Inside(size, 0, end))
        return Format("the order list plays %d rows (bytes %u to %u) but the image has only %zu bytes", rows,
                      unsigned{OrderListOffset}, end - 1, size);
    for (std::uint32_t offset = OrderListOffset; offset < end; ++offset) tracks.Add(s.SongBytes[offset], -1);
    return "";
}

// Follows one track command by command to its end marker.
std::string CheckTrack(const Synth& s, std::uint8_t track, UsedSet& instruments) {
    const std::size_t size = s.SongBytes.size();
    const std::uint16_t entry = TrackTableEntry(s.Layout, track);
    if (!Inside(size, entry, 2))
        return Format("track %u is played but its address (at offset %u) lies outside the image",
                      unsigned{track}, unsigned{entry});
    bool timed = false;
    std::uint32_t p = TrackStart(s, track);
    if (!Inside(size, p, 1))
        return Format("track %u starts at offset %u (address 0x%04X in the track table at offset %u), "
                      "outside the %zu-byte image",
                      unsigned{track}, p, unsigned{ImageWord(s, entry)}, unsigned{entry}, size);
    for (;;) {
        if (!Inside(size, p, 1))
            return Format("track %u runs past the end of the image (offset %u) without an end marker",
                          unsigned{track}, p);
        const std::uint8_t c = s.SongBytes[p];
        if (c == EndOfTrack) {
            if (!timed)
                return Format("track %u has no rest, note, release or relative note before its end marker",
                              unsigned{track});
            return "";
        }
        if (c >= FirstRelativeNote) {
            timed = true;
            p += 1;
            continue;
        }
        if (!IsTimedCommand(c) && c != InstrumentSelect)
            return Format("track %u has the illegal command byte %u at offset %u", unsigned{track},
                          unsigned{c}, p);
        if (!Inside(size, p, 2))
            return Format("track %u: the command at offset %u is cut off by the end of the image",
                          unsigned{track}, p);
        const std::uint8_t argument = s.SongBytes[p + 1];
        if (c == InstrumentSelect) {
            instruments.Add(argument, track);
            if (Inside(size, p + 2, 1) && !IsTimedCommand(s.SongBytes[p + 2]))
                return Format("track %u: the instrument select at offset %u is not followed by a rest, "
                              "note, release or relative note",
                              unsigned{track}, p);
        } else {
            if (argument == 0)
                return Format("track %u: the command at offset %u has a duration of 0", unsigned{track}, p);
            timed = true;
        }
        p += 2;
    }
}

std::string InstrumentUser(const UsedSet& instruments, std::uint8_t instrument) {
    const int track = instruments.By[instrument];
    return track < 0 ? Format("instrument %u (every row's default)", unsigned{instrument})
                     : Format("instrument %u (selected by track %d)", unsigned{instrument}, track);
}

std::string CheckInstrument(const Synth& s, std::uint8_t instrument, const UsedSet& instruments,
                            UsedSet& programs) {
    const std::uint16_t record = InstrumentRecord(s.Layout, instrument);
    if (!Inside(s.SongBytes.size(), record, 3))
        return Format("%s has its record at offset %u, outside the %zu-byte image",
                      InstrumentUser(instruments, instrument).c_str(), unsigned{record}, s.SongBytes.size());
    programs.Add(s.SongBytes[record], instrument);
    return "";
}

// An instrument number past the end of the instrument table reads its
// record from whatever follows the table, often the program table.
std::string InstrumentHint(const Synth& s, std::uint8_t instrument) {
    const SongLayout& l = s.Layout;
    const std::uint16_t record = InstrumentRecord(l, instrument);
    if (l.InstrumentTableOffset >= l.ProgramTableOffset || record + 3u <= l.ProgramTableOffset) return "";
    return Format("; instrument %u's record reaches into the program table at offset %u, so the "
                  "instrument table may have no entry %u",
                  unsigned{instrument}, unsigned{l.ProgramTableOffset}, unsigned{instrument});
}

// Steps from the program's start to its stop step or loop marker.
std::string CheckProgram(const Synth& s, std::uint8_t program, const UsedSet& instruments,
                         const UsedSet& programs) {
    const std::size_t size = s.SongBytes.size();
    const std::uint16_t entry = ProgramTableEntry(s.Layout, program);
    const auto instrument = static_cast<std::uint8_t>(programs.By[program]);
    const std::string user =
        InstrumentUser(instruments, instrument) + " plays program " + std::to_string(program);
    if (!Inside(size, entry, 2))
        return Format("%s, whose entry in the program table (offset %u) lies outside the %zu-byte image%s",
                      user.c_str(), unsigned{entry}, size, InstrumentHint(s, instrument).c_str());
    const std::uint32_t start = ProgramStart(s, program);
    if (!Inside(size, start, 1))
        return Format("%s, which starts at offset %u (address 0x%04X), outside the %zu-byte image%s",
                      user.c_str(), start, unsigned{ImageWord(s, entry)}, size,
                      InstrumentHint(s, instrument).c_str());
    for (std::uint32_t q = start;; q += 4) {
        if (!Inside(size, q, 4))
            return Format("program %u runs past the end of the image (offset %u) without a stop step "
                          "or loop marker",
                          unsigned{program}, q);
        const int control = s.SongBytes[q + 3] >> 4;
        if (control == LoopControl && q == start)
            return Format("program %u begins with a loop marker", unsigned{program});
        if (control == LoopControl || control == StopControl) return "";
    }
}

std::string CheckImage(const Synth& s) {
    const std::size_t size = s.SongBytes.size();
    const SongLayout& l = s.Layout;
    if (!Inside(size, l.TickRateOffset, 2))
        return Format("the tick-rate word at offset %u lies outside the %zu-byte image",
                      unsigned{l.TickRateOffset}, size);
    if (l.TicksPerSecond == 0) return "the tick rate is 0 ticks per second";
    if (l.DurationUnit == 0) return "the duration unit is 0 ticks";
    if (std::string problem = CheckTableStarts(s); !problem.empty()) return problem;

    UsedSet tracks, instruments, programs;
    if (std::string problem = CheckOrderList(s, tracks); !problem.empty()) return problem;
    instruments.Add(0, -1);
    for (int i = 0; i < tracks.Count; ++i)
        if (std::string problem = CheckTrack(s, tracks.List[i], instruments); !problem.empty())
            return problem;
    for (int i = 0; i < instruments.Count; ++i)
        if (std::string problem = CheckInstrument(s, instruments.List[i], instruments, programs);
            !problem.empty())
            return problem;
    for (int i = 0; i < programs.Count; ++i)
        if (std::string problem = CheckProgram(s, programs.List[i], instruments, programs); !problem.empty())
            return problem;
    return "";
}

}  // namespace

int OrderRowCount(const SongLayout& layout) {
    // Row 0 is played even when the order length is 0: InitChannels starts
    // there and the wrap returns there.
    const int rows = (layout.OrderLength + 2) / 3;
    return rows < 1 ? 1 : rows;
}

std::string LoadSongLayout(Synth& s) {
    s.Layout = SongLayout{};
    const std::size_t size = s.SongBytes.size();
    if (size < HeaderBytes) return Format("the image has %zu bytes, fewer than its 12-byte header", size);
    if (size > MaxSongBytes)
        return Format("the image has %zu bytes; 16-bit offsets reach only %zu", size, MaxSongBytes);
    s.Layout = ReadHeader(s);
    if (Inside(size, s.Layout.TickRateOffset, 2))
        s.Layout.TicksPerSecond = ImageWord(s, s.Layout.TickRateOffset);
    return CheckImage(s);
}
