// Writes the seed corpus for song_fuzz into the directory given: the
// built-in song at one and ten samples per tick and at 44,100 Hz, plain and
// with a plan that ends rows by hand.
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz_input.h"
#include "synth/song.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: song_fuzz_seeds DIRECTORY\n");
        return 2;
    }
    const std::span<const std::uint8_t> song(BuiltInSong, BuiltInSongSize);
    const std::uint8_t rowEnds[] = {0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45,
                                    0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45, 0x45};
    const struct {
        const char* name;
        std::uint8_t mode;
        std::uint32_t rate;
        bool plan;
    } seeds[] = {
        {"builtin-1-per-tick", 0, 0, false},
        {"builtin-10-per-tick", 9, 0, false},
        {"builtin-44100", 0x80, 44100, false},
        {"builtin-row-ends", 0, 0, true},
    };
    for (const auto& seed : seeds) {
        const auto data = JoinFuzzInput(
            seed.mode, seed.rate,
            seed.plan ? std::span<const std::uint8_t>(rowEnds) : std::span<const std::uint8_t>(), song);
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!file) {
            std::fprintf(stderr, "song_fuzz_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
