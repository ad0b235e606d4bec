#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interrupt.h"

namespace {

std::string Failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string KindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "not a regular file";
}

// Follows symbolic links at the end of `path`; the last name need not exist.
bool FollowLinks(std::string& path, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            error = Failure("cannot read the symbolic link " + path);
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    error = "cannot follow " + path + ": too many levels of symbolic links";
    return false;
}

mode_t UsualMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string OpenInPlace(OutputFile& file) {
    // A FIFO's open waits for a reader; a handled signal ends the wait.
    do file.Descriptor = open(file.Target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    while (file.Descriptor < 0 && errno == EINTR && InterruptSignal() == 0);
    if (file.Descriptor >= 0) return "";
    return InterruptSignal() != 0 ? "interrupted" : Failure("cannot open " + file.Name);
}

std::string OpenTemporary(OutputFile& file, bool exists, mode_t existingMode) {
    // Short, so it fits wherever the final name fits.
    std::string pattern = DirectoryOf(file.Target) + "/.capture-XXXXXX";
    file.Descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (file.Descriptor < 0) return Failure("cannot create " + file.Name);
    file.TempPath = pattern;
    file.Mode = exists ? existingMode : UsualMode();
    if (fchmod(file.Descriptor, file.Mode) != 0) return Failure("cannot set the mode of " + file.TempPath);
    return "";
}

}  // namespace

OutputKind ClassifyOutput(const std::string& path) {
    OutputKind kind;
    kind.Target = path;
    if (!FollowLinks(kind.Target, kind.Error)) return kind;
    struct stat st;
    if (lstat(kind.Target.c_str(), &st) != 0) {
        if (errno == ENOENT)
            kind.Regular = true;
        else
            kind.Error = Failure("cannot use " + path);
        return kind;
    }
    kind.Exists = true;
    kind.Regular = S_ISREG(st.st_mode);
    if (!kind.Regular) kind.Describe = KindName(st.st_mode);
    if (S_ISDIR(st.st_mode)) kind.Error = path + " is a directory, not a file";
    return kind;
}

std::string CheckReplaceable(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : Failure("cannot use " + path);
    return S_ISREG(st.st_mode) ? "" : path + " is " + KindName(st.st_mode);
}

std::string OpenOutput(OutputFile& file, const std::string& path) {
    file.Name = path;
    const OutputKind kind = ClassifyOutput(path);
    if (!kind.Error.empty()) return kind.Error;
    file.Target = kind.Target;
    file.InPlace = !kind.Regular;
    if (file.InPlace) return OpenInPlace(file);
    struct stat st {};
    if (kind.Exists && stat(file.Target.c_str(), &st) != 0) return Failure("cannot use " + path);
    return OpenTemporary(file, kind.Exists, st.st_mode & 0777);
}

std::string WriteOutput(OutputFile& file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        // A signal that cut a write short shows up as a partial count, and the
        // next write to a FIFO could wait for good.
        if (InterruptSignal() != 0) return "interrupted";
        const ssize_t written = write(file.Descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return Failure("cannot write " + file.Name);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return "";
}

std::string CloseOutput(OutputFile& file) {
    const int descriptor = file.Descriptor;
    file.Descriptor = -1;
    if (descriptor >= 0 && close(descriptor) != 0) return Failure("cannot write " + file.Name);
    return "";
}

std::string CommitOutput(OutputFile& file) {
    if (std::string problem = CloseOutput(file); !problem.empty()) return problem;
    if (file.TempPath.empty()) return "";
    if (std::string problem = CheckReplaceable(file.Target); !problem.empty())
        return problem + " now; it is left alone";
    if (std::rename(file.TempPath.c_str(), file.Target.c_str()) != 0)
        return Failure("cannot put the finished file in place as " + file.Name);
    file.TempPath.clear();
    return "";
}

void DiscardOutput(OutputFile& file) {
    if (file.Descriptor >= 0) close(file.Descriptor);
    file.Descriptor = -1;
    if (!file.TempPath.empty()) std::remove(file.TempPath.c_str());
    file.TempPath.clear();
}
