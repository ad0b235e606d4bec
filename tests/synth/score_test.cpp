// The built-in song scored to the show. Music and pictures start together, so
// the song is played from its start, tick by tick, and held to the show's own
// scene schedule: notes start together on the exact tick of every cut between
// scenes, the drums strike in every second of the last scene, and the bass
// comes home to the song's key (the note of its first row) at least 1.4 s
// before the close and strikes nothing after that.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "demo/timeline.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

constexpr int BassChannel = 0;
constexpr int DrumChannel = 2;

struct Strike {
    std::int64_t tick;  // 0 is the song's start, read by InitChannels
    int channel;
    int baseNote;
};

bool Struck(const ChannelState& now, const ChannelState& before) {
    return now.EnvPhase == EnvelopePhase::Attack &&
           (before.EnvPhase != EnvelopePhase::Attack || now.EnvTime < before.EnvTime);
}

// Every note struck before `endTick`, in order. At 160 samples per tick a
// note's attack lasts several samples, so a restarted envelope marks it.
std::vector<Strike> StrikesBefore(Synth& s, std::int64_t endTick) {
    std::vector<Strike> strikes;
    ChannelState before[ChannelCount] = {};  // silent, so the notes InitChannels strikes count
    const std::uint32_t samplesPerTick = s.SampleRate / s.Layout.TicksPerSecond;
    std::int64_t tick = 0;
    while (true) {
        for (int ch = 0; ch < ChannelCount; ++ch)
            if (Struck(s.Channels[ch], before[ch])) strikes.push_back({tick, ch, s.Channels[ch].BaseNote});
        if (s.Channels[0].TickCount == samplesPerTick && ++tick == endTick) return strikes;
        std::copy(std::begin(s.Channels), std::end(s.Channels), before);
        std::int16_t sample;
        RenderSamples(s, &sample, 1);
    }
}

// Seconds at which the show's scene changes, up to and including the close.
std::vector<int> SceneCuts() {
    std::vector<int> cuts;
    for (int second = 1; second < 3600; ++second) {
        if (SceneFor(second) == SceneFor(second - 1)) continue;
        cuts.push_back(second);
        if (SceneFor(second) == Scene::Close) break;
    }
    return cuts;
}

TEST(Score, TheSongMeetsTheCutsDrivesTheFinaleAndIsHomeBeforeTheClose) {
    Synth s;
    ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSongSize}, 8000), "");
    const std::int64_t perSecond = s.Layout.TicksPerSecond;
    const std::vector<int> cuts = SceneCuts();
    ASSERT_GE(cuts.size(), 2u);
    const std::int64_t closeTick = cuts.back() * perSecond;
    const int key = s.Channels[BassChannel].BaseNote % 12;
    const std::vector<Strike> strikes = StrikesBefore(s, closeTick);

    // A cut is met by a hit together with an entry: two channels or more
    // strike on its exact tick.
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const std::int64_t cut = cuts[i] * perSecond;
        EXPECT_GE(
            std::count_if(strikes.begin(), strikes.end(), [&](const Strike& n) { return n.tick == cut; }), 2)
            << "the cut at " << cuts[i] << " s (tick " << cut << ")";
    }

    for (int second = cuts[cuts.size() - 2]; second < cuts.back(); ++second)
        EXPECT_TRUE(std::any_of(
            strikes.begin(), strikes.end(),
            [&](const Strike& n) { return n.channel == DrumChannel && n.tick / perSecond == second; }))
            << "no drum in second " << second;

    const auto lastBass = std::find_if(strikes.rbegin(), strikes.rend(),
                                       [](const Strike& n) { return n.channel == BassChannel; });
    ASSERT_NE(lastBass, strikes.rend());
    EXPECT_EQ(lastBass->baseNote % 12, key) << "the last bass note is " << lastBass->baseNote;
    EXPECT_LE(lastBass->tick, closeTick - perSecond * 7 / 5) << "the tonic comes late";
}

}  // namespace
