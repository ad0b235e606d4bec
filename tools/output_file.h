#pragma once
// An output never harms what its name stands for. The name is looked at once,
// when the output is opened:
// - nothing there, or a regular file: the bytes go to a temporary file with a
//   short name in the same directory, which is renamed over the name on
//   commit (keeping an existing file's permission bits) and removed on
//   discard, so the file appears complete or not at all;
// - a symbolic link: the same rule for the file the link leads to; the link
//   itself stays as it is;
// - a device, a FIFO or another file that is not regular: it is opened and
//   written in place as the bytes come, and never replaced or removed;
// - a directory: refused.
#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>

struct OutputFile {
    std::string Name;      // as the user gave it, for messages
    std::string Target;    // the file that is written: symbolic links followed
    std::string TempPath;  // "" when written in place or already renamed
    int Descriptor = -1;
    bool InPlace = false;
    mode_t Mode = 0;  // the permission bits the finished file gets
};

// What an output name stands for, links followed, without touching it.
struct OutputKind {
    std::string Target;  // the name the links lead to
    bool Exists = false;
    bool Regular = false;  // a regular file, or nothing there yet
    std::string Describe;  // "a FIFO", "a character device", ...; "" for a regular file
    std::string Error;     // why the name cannot be used at all
};

OutputKind ClassifyOutput(const std::string& path);

// "" when `path` (not following a link) is absent or a regular file, which
// a rename may replace; otherwise what is there instead.
std::string CheckReplaceable(const std::string& path);

// Returns "" on success, otherwise why the output could not be opened.
std::string OpenOutput(OutputFile& file, const std::string& path);
// Writes every byte; stops with "interrupted" once a handled signal came.
std::string WriteOutput(OutputFile& file, std::span<const std::uint8_t> bytes);
// Closes the descriptor: "" when every byte reached the file. Renames nothing.
std::string CloseOutput(OutputFile& file);
// Closes if still open, then renames the temporary file over the target,
// unless the target has meanwhile become something a rename would harm.
std::string CommitOutput(OutputFile& file);
// Closes and removes the temporary file; an output written in place stays.
void DiscardOutput(OutputFile& file);
