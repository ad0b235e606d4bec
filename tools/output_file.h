#pragma once
// An output file that appears complete or not at all: bytes go to a
// temporary file in the target's directory, which is renamed over the
// target on commit and removed on discard.
#include <cstdint>
#include <span>
#include <string>

struct OutputFile {
  std::string FinalPath;
  std::string TempPath;
  int Descriptor = -1;
};

// Returns "" on success, otherwise why the temporary file could not be made.
std::string OpenOutput(OutputFile& file, const std::string& path);
std::string WriteOutput(OutputFile& file, std::span<const std::uint8_t> bytes);
std::string CommitOutput(OutputFile& file);
void DiscardOutput(OutputFile& file);
