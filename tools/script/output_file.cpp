// SPDX-License-Identifier: MIT
// Output files replaced whole or not at all.
#include "tools/script/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "render/png.h"
#include "tools/script/script_parser.h"

namespace script {

namespace {

std::string Failure(const std::string& path, int number) {
    return Joined({"cannot write '", path, "': ", std::strerror(number)});
}

// Every byte, or false with errno set.
bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Closes the descriptor; a failure of the close counts when all went well before it.
bool Finish(int descriptor, bool written, int& number) {
    number = errno;
    if (close(descriptor) != 0 && written) {
        number = errno;
        return false;
    }
    return written;
}

bool WriteDirectly(const std::string& target, std::string_view bytes, int& number) {
    const int descriptor = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) {
        number = errno;
        return false;
    }
    return Finish(descriptor, WriteAll(descriptor, bytes), number);
}

// mode: the old file's permissions, or those a new file gets under the umask.
bool WriteReplacing(const std::string& target, mode_t mode, std::string_view bytes, int& number) {
    const std::filesystem::path path(target);
    std::string temporary =
        (path.parent_path() / Joined({".", path.filename().string(), ".XXXXXX"})).string();
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        number = errno;
        return false;
    }
    const bool written =
        fchmod(descriptor, mode) == 0 && WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
    bool done = Finish(descriptor, written, number);
    if (done && rename(temporary.c_str(), target.c_str()) != 0) {
        number = errno;
        done = false;
    }
    if (!done) {
        unlink(temporary.c_str());
    }
    return done;
}

// The file to write: the end of a chain of symbolic links rather than a link, even one
// that names no file yet.
bool Resolve(const std::string& path, std::string& target, int& number) {
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        std::error_code failed;
        const std::filesystem::path link = std::filesystem::read_symlink(target, failed);
        if (failed || hops == 40) {
            number = failed ? failed.value() : ELOOP;
            return false;
        }
        target = (std::filesystem::path(target).parent_path() / link).string();
    }
}

// Chooses how to write the target by what it is now.
bool WriteTo(const std::string& target, std::string_view bytes, int& number) {
    struct stat status {};
    if (stat(target.c_str(), &status) != 0) {
        number = errno;
        const mode_t mask = umask(0);
        umask(mask);
        return number == ENOENT && WriteReplacing(target, 0666 & ~mask, bytes, number);
    }
    if (S_ISDIR(status.st_mode)) {
        number = EISDIR;
        return false;
    }
    return S_ISREG(status.st_mode) ? WriteReplacing(target, status.st_mode & 07777, bytes, number)
                                   : WriteDirectly(target, bytes, number);
}

}  // namespace

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& error) {
    std::string target;
    int number = 0;
    if (Resolve(path, target, number) && WriteTo(target, bytes, number)) {
        return true;
    }
    error = Failure(path, number);
    return false;
}

bool WritePngFile(render::SurfaceHandle handle, int32_t controlId, const std::string& path,
                  std::string& error) {
    std::string encoded, reason;
    if (!render::EncodeSurfacePng(handle, controlId, encoded, reason)) {
        error = Joined({"cannot write '", path, "': ", reason});
        return false;
    }
    return WriteOutputFile(path, encoded, error);
}

}  // namespace script
