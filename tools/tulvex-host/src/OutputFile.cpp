#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "HostError.h"

namespace {

// Enough to make each write a large one; the file's size does not change it.
constexpr std::size_t kStreamBufferBytes = 1 << 20;

std::string reasonOf(int error) {
    return std::strerror(error);
}

// The mode a new file gets from this process: 0666 less the umask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// fsync on a file or folder by name; false with errno set when it fails.
bool syncPath(const std::filesystem::path& path, int flags) {
    const int descriptor = open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = fsync(descriptor) == 0;
    const int error = errno;
    close(descriptor);
    errno = error;
    return synced;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : mPath(path) {
    std::error_code ec;
    if (std::filesystem::is_directory(mPath, ec)) {
        throw HostError(ExitCode::kTakeNotSaved,
                        "cannot write " + path + ": it is a folder, not a file");
    }
    const std::filesystem::path folder =
        mPath.has_parent_path() ? mPath.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ec)) {
        throw HostError(ExitCode::kTakeNotSaved,
                        "cannot write " + path + ": there is no folder " + folder.string());
    }
    // Hidden, next to the target, so the final rename stays within one file system.
    std::string name = (folder / ("." + mPath.filename().string() + ".XXXXXX")).string();
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) {
        throw HostError(ExitCode::kTakeNotSaved, "cannot write " + path + ": " + reasonOf(errno));
    }
    mTemporary = pattern.data();
    fchmod(descriptor, newFileMode());
    close(descriptor);

    mBuffer = std::make_unique<char[]>(kStreamBufferBytes);
    mStream.rdbuf()->pubsetbuf(mBuffer.get(), static_cast<std::streamsize>(kStreamBufferBytes));
    mStream.open(mTemporary, std::ios::binary | std::ios::trunc);
    if (!mStream) {
        fail("cannot write " + path, errno);
    }
}

OutputFile::~OutputFile() {
    if (!mCommitted) {
        mStream.close();
        std::error_code ec;
        std::filesystem::remove(mTemporary, ec);
    }
}

std::ostream& OutputFile::stream() {
    return mStream;
}

void OutputFile::commit() {
    errno = 0;
    mStream.flush();
    if (!mStream) {
        fail("cannot write " + mPath.string(), errno);
    }
    mStream.close();
    if (!mStream) {
        fail("cannot write " + mPath.string(), errno);
    }
    if (!syncPath(mTemporary, O_RDONLY)) {
        fail("cannot write " + mPath.string(), errno);
    }
    if (std::rename(mTemporary.c_str(), mPath.c_str()) != 0) {
        fail("cannot put the take in place at " + mPath.string(), errno);
    }
    mCommitted = true;
    // The rename itself reaches the disk with the folder; a failure here loses nothing of
    // the file, so it is not an error.
    const std::filesystem::path folder =
        mPath.has_parent_path() ? mPath.parent_path() : std::filesystem::path(".");
    syncPath(folder, O_RDONLY | O_DIRECTORY);
}

void OutputFile::fail(const std::string& what, int error) {
    mStream.close();
    std::error_code ec;
    std::filesystem::remove(mTemporary, ec);
    mCommitted = true;  // nothing is left to remove
    throw HostError(ExitCode::kTakeNotSaved,
                    what + (error != 0 ? ": " + reasonOf(error) : std::string(": write failed")));
}
