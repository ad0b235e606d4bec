#include "demo/titles.h"

#include "raster/polychar.h"

namespace {

constexpr Colour32 Green = 0x00FF00;
constexpr Colour32 Cyan = 0x00FFFF;
constexpr Colour32 White = 0xFFFFFF;

// The second title's a-umlaut is the Windows-1252 byte 0xE4.
constexpr TextLine PresentsTitle{300, "Zorq presenterar", Green, 20, 30};
constexpr TextLine DemoTitle{300,
                             "Ett bl\xE4"
                             "ndurfa-demo",
                             Green, 20, 30};
constexpr TextLine SizeTitle{300, "372 Kbit", Cyan, 30, 50};

}  // namespace

//   y     text             colour  sx  sy
// clang-format off
const TextLine GreetingLines[4] = {
    {150, "Greets to:",     White,  30, 30},
    {200, "Pl4xw1nd",       Green,  20, 20},
    {240, "Morvelund",      Green,  20, 20},
    {280, "Vexel Kontor",   Green,  20, 20},
};
// clang-format on

const TextLine* TitleFor(std::int32_t sceneIndex) {
    if (sceneIndex >= 0 && sceneIndex <= 2) return &PresentsTitle;
    if (sceneIndex >= 3 && sceneIndex <= 5) return &DemoTitle;
    if (sceneIndex >= 6 && sceneIndex <= 9) return &SizeTitle;
    return nullptr;
}

namespace {

void DrawTextLine(const TextLine& line, const FrameView& frame) {
    DrawCentredText(line.y, line.text, line.colour, line.sx, line.sy, frame);
}

}  // namespace

void DrawTitles(std::int32_t sceneIndex, const FrameView& frame) {
    if (const TextLine* title = TitleFor(sceneIndex)) DrawTextLine(*title, frame);
}

void DrawGreetings(const FrameView& frame) {
    for (const TextLine& line : GreetingLines) DrawTextLine(line, frame);
}
