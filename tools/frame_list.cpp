#include "frame_list.h"

#include <algorithm>
#include <charconv>

namespace {

bool ParseFrameNumber(std::string_view text, std::int64_t& number) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number);
    return ec == std::errc() && ptr == end && number <= MaxFrameNumber;
}

std::string ParseItem(std::string_view item, FrameRange& range) {
    std::string quoted(1, '"');
    quoted.append(item).push_back('"');
    const std::size_t dash = item.find('-');
    if (dash == std::string_view::npos) {
        if (!ParseFrameNumber(item, range.First))
            return quoted + " is not a frame number from 0 to " + std::to_string(MaxFrameNumber);
        range.Last = range.First;
        return "";
    }
    if (!ParseFrameNumber(item.substr(0, dash), range.First) ||
        !ParseFrameNumber(item.substr(dash + 1), range.Last))
        return quoted + " is not a range such as 300-310 of frames from 0 to " +
               std::to_string(MaxFrameNumber);
    if (range.First > range.Last) return quoted + " runs backwards";
    return "";
}

void SortAndMerge(std::vector<FrameRange>& ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const FrameRange& a, const FrameRange& b) { return a.First < b.First; });
    std::vector<FrameRange> merged;
    for (const FrameRange& r : ranges) {
        if (!merged.empty() && r.First <= merged.back().Last + 1)
            merged.back().Last = std::max(merged.back().Last, r.Last);
        else
            merged.push_back(r);
    }
    ranges = std::move(merged);
}

}  // namespace

FrameListParse ParseFrameList(std::string_view text) {
    FrameListParse result;
    for (std::size_t start = 0;;) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        FrameRange range;
        if (std::string problem = ParseItem(text.substr(start, comma - start), range); !problem.empty())
            return {{}, "--frames: " + problem};
        result.List.Ranges.push_back(range);
        if (comma == text.size()) break;
        start = comma + 1;
    }
    SortAndMerge(result.List.Ranges);
    return result;
}

bool FrameListContains(const FrameList& list, std::int64_t frame) {
    for (const FrameRange& r : list.Ranges)
        if (frame >= r.First && frame <= r.Last) return true;
    return false;
}

std::int64_t FrameListLast(const FrameList& list) {
    return list.Ranges.empty() ? -1 : list.Ranges.back().Last;
}
