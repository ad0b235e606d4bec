// dxvornik85-capture: captures the whole show (frames, sound, video),
// renders the demo's song into a WAV file, writes or prints song images. Every output file appears complete or not at all.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture_args.h"
#include "output_file.h"
#include "show_capture.h"
#include "song_render.h"
#include "song_text.h"
#include "synth/dxvornik.h"
#include "synth/song.h"
#include "wav_file.h"

namespace {

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "dxvornik85-capture: %s\n", message.c_str());
  if (code == ExitBadArgs) std::fprintf(stderr, "Try 'dxvornik85-capture --help'.\n");
  return code;
}

bool ReadImage(const std::string& path, std::vector<std::uint8_t>& image, std::string& error) {
  if (path.empty()) {
    image.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
    return true;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    error = "cannot open the song image " + path;
    return false;
  }
  image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    error = "cannot read the song image " + path;
    return false;
  }
  return true;
}

// Writes through a temporary file; on any failure nothing is left behind.
int WriteFile(const std::string& path, const auto& writeContent) {
  OutputFile out;
  std::string problem = OpenOutput(out, path);
  if (problem.empty()) problem = writeContent(out);
  if (problem.empty()) problem = CommitOutput(out);
  if (problem.empty()) return ExitOk;
  DiscardOutput(out);
  return Fail(ExitFailed, problem);
}

int LoadSong(const CaptureOptions& options, Synth& synth) {
  std::string error;
  if (!ReadImage(options.SongPath, synth.SongBytes, error)) return Fail(ExitFailed, error);
  const std::string name = options.SongPath.empty() ? "the built-in song" : options.SongPath;
  if (std::string problem = LoadSongLayout(synth); !problem.empty())
    return Fail(ExitFailed, name + " cannot be played: " + problem);
  return ExitOk;
}

int RenderSongOnly(const CaptureOptions& options) {
  Synth synth;
  if (int code = LoadSong(options, synth); code != ExitOk) return code;
  synth.SampleRate = options.Rate;
  if (std::string problem = CheckSampleRate(synth); !problem.empty())
    return Fail(ExitBadArgs, "--rate: " + problem);
  if (options.Rate > 0x7FFFFFFF) return Fail(ExitBadArgs, "--rate: a WAV file holds rates up to 2147483647 Hz");
  BuildNoteTables(synth);
  InitChannels(synth);

  const double samples = options.Seconds ? std::floor(*options.Seconds * options.Rate)
                                         : static_cast<double>(SongLoopSamples(synth));
  if (samples > static_cast<double>(MaxWavSamples))
    return Fail(ExitBadArgs, "the sound would be too long for a WAV file (at most " +
                                 std::to_string(MaxWavSamples) + " samples)");
  return WriteFile(options.WavPath, [&](OutputFile& out) {
    return WriteSongWav(synth, static_cast<std::uint32_t>(samples), out);
  });
}

int WriteBuiltInSong(const CaptureOptions& options) {
  return WriteFile(options.WriteSongPath, [](OutputFile& out) {
    return WriteOutput(out, {BuiltInSong, BuiltInSongSize});
  });
}

int RunShow(const CaptureOptions& options) {
  std::vector<std::uint8_t> image;
  std::string error;
  if (!ReadImage(options.SongPath, image, error)) return Fail(ExitFailed, error);
  return CaptureShow(options, image);
}

int PrintSong(const CaptureOptions& options) {
  Synth synth;
  if (int code = LoadSong(options, synth); code != ExitOk) return code;
  const std::string text = DescribeSong(synth);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? ExitOk : Fail(ExitFailed, "cannot write to standard output");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const CaptureArgs parsed = ParseCaptureArgs(args);
  if (!parsed.Error.empty()) return Fail(ExitBadArgs, parsed.Error);
  const CaptureOptions& options = parsed.Options;
  switch (options.Action) {
    case CaptureAction::Help:
      std::fputs(CaptureUsage().c_str(), stdout);
      return ExitOk;
    case CaptureAction::SongOnly:
      return RenderSongOnly(options);
    case CaptureAction::WriteSong:
      return WriteBuiltInSong(options);
    case CaptureAction::PrintSong:
      return PrintSong(options);
    case CaptureAction::Show:
      return RunShow(options);
  }
  return ExitFailed;
}
