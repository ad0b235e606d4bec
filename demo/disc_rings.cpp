#include "demo/disc_rings.h"

#include "base/numeric.h"
#include "raster/primitives.h"
#include "raster/vec3.h"

namespace {

constexpr Vec3 RingCentre{200, 300, -150};
constexpr double RingRadius = 150;
constexpr double AngleStep = 0.39269908169872414;  // pi / 8
constexpr double ViewDistance = 600;
constexpr double DiscHalfWidth = 12;  // measured on screen to size the disc

// The point of a filled slot: slots 0..15 on the horizontal circle, 17..31
// on the upright circle facing the viewer, 33..47 on the side-on circle. The
// angle is the slot number itself, not reduced modulo 16.
Vec3 SlotPoint(int slot) {
    const double a = slot * AngleStep;
    const double c = RingRadius * Cosine(a);
    const double s = RingRadius * Sine(a);
    const Vec3& m = RingCentre;
    if (slot < 16) return {m.x + c, m.y, m.z + s};
    if (slot < 32) return {m.x + c, m.y + s, m.z};
    return {m.x, m.y + c, m.z + s};
}

// ((s + 1) * 0x627522) mod 0xFFFFFF; no overflow for s <= 47.
Colour32 SlotColour(int slot) {
    const std::int32_t product = (slot + 1) * 6452514;
    return static_cast<Colour32>(product % 16777215);
}

// x of the projection; the viewer never stands on the figure, so Project
// always produces a point here.
ScreenPoint ProjectPoint(double x, double y, double z) {
    ScreenPoint p{0, 0};
    Project(x, y, z, ViewDistance, p);
    return p;
}

DiscSlot FillSlot(int slot, double animPhase) {
    Vec3 p = SlotPoint(slot);
    p = RotateX(p, RingCentre, animPhase / 2);
    p = RotateZ(p, RingCentre, Sine(animPhase / 2));
    p = RotateY(p, RingCentre, animPhase / 3.21);
    const ScreenPoint centre = ProjectPoint(p.x, p.y, p.z);
    const ScreenPoint left = ProjectPoint(p.x - DiscHalfWidth, p.y, p.z);
    const ScreenPoint right = ProjectPoint(p.x + DiscHalfWidth, p.y, p.z);
    return {Round(centre.x), Round(centre.y), Round(right.x - left.x), p.z, SlotColour(slot)};
}

}  // namespace

bool DiscSlotFilled(int slot) {
    if (slot < 0 || slot >= DiscSlotCount) return false;
    // Slot 16 repeats a point of the horizontal circle; 24, 32, 36, 40 and
    // 44 repeat points of the circles before them.
    return slot != 16 && slot != 24 && slot != 32 && slot != 36 && slot != 40 && slot != 44;
}

void BuildDiscSlots(double animPhase, DiscSlot (&slots)[DiscSlotCount]) {
    for (int s = 0; s < DiscSlotCount; ++s)
        slots[s] = DiscSlotFilled(s) ? FillSlot(s, animPhase) : DiscSlot{0, 0, 0, 0.0, 0};
}

void SortDiscSlots(DiscSlot (&slots)[DiscSlotCount]) {
    for (int p = 0; p < DiscSlotCount - 1; ++p) {
        for (int k = DiscSlotCount - 1; k > p; --k) {
            if (slots[k].Depth < slots[k - 1].Depth) {
                const DiscSlot t = slots[k];
                slots[k] = slots[k - 1];
                slots[k - 1] = t;
            }
        }
    }
}

void DrawDiscRings(const FrameView& frame, double animPhase) {
    DiscSlot slots[DiscSlotCount];
    BuildDiscSlots(animPhase, slots);
    // Farthest first, so nearer discs cover farther ones. The six empty
    // slots (Depth 0) sort after every filled one and are left out.
    SortDiscSlots(slots);
    for (int n = 0; n < DrawnDiscCount; ++n) {
        const DiscSlot& d = slots[n];
        ShadedDisc(d.X, d.Y, d.Radius, frame, d.Colour);
    }
}
