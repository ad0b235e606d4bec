#pragma once
// The --frames option: frame numbers and inclusive ranges separated by
// commas, such as "0,150,300-310". Parsing only.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FrameRange {
    std::int64_t First = 0;
    std::int64_t Last = 0;  // inclusive
};

// Ranges sorted by their first frame, overlapping and touching ones merged.
struct FrameList {
    std::vector<FrameRange> Ranges;
};

struct FrameListParse {
    FrameList List;
    std::string Error;  // "" when the text was understood
};

// Numbers are decimal digits only (no sign, no spaces), at most
// MaxFrameNumber; a range's first number is not above its last.
FrameListParse ParseFrameList(std::string_view text);

constexpr std::int64_t MaxFrameNumber = 99'999;  // file names have five digits

bool FrameListContains(const FrameList& list, std::int64_t frame);

// The highest frame the list names, -1 for an empty list.
std::int64_t FrameListLast(const FrameList& list);
