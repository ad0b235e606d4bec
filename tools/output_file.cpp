#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Failure(const char* what, const std::string& path) {
  return std::string("cannot ") + what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string OpenOutput(OutputFile& file, const std::string& path) {
  file.FinalPath = path;
  std::string pattern = path + ".tmp-XXXXXX";
  file.Descriptor = mkstemp(pattern.data());
  if (file.Descriptor < 0) return Failure("create a file next to", path);
  file.TempPath = pattern;
  // mkstemp makes the file private; the finished file gets the usual mode.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(file.Descriptor, 0666 & ~mask) != 0) return Failure("set the mode of", file.TempPath);
  return "";
}

std::string WriteOutput(OutputFile& file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file.Descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Failure("write", file.TempPath);
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return "";
}

std::string CommitOutput(OutputFile& file) {
  const int descriptor = file.Descriptor;
  file.Descriptor = -1;
  if (close(descriptor) != 0) return Failure("write", file.TempPath);
  if (std::rename(file.TempPath.c_str(), file.FinalPath.c_str()) != 0)
    return Failure("rename the finished file to", file.FinalPath);
  file.TempPath.clear();
  return "";
}

void DiscardOutput(OutputFile& file) {
  if (file.Descriptor >= 0) close(file.Descriptor);
  file.Descriptor = -1;
  if (!file.TempPath.empty()) std::remove(file.TempPath.c_str());
  file.TempPath.clear();
}
