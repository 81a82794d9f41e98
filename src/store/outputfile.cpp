#include "store/outputfile.h"

#include "store/atomicfile.h"
#include "store/textcodec.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

bool sameFile(const struct stat &a, const fs::path &other)
{
    struct stat b
    {
    };
    return ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

Status writeInPlace(const fs::path &file, std::string_view bytes)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure(
            quotedForMessage(file.string()) + ": cannot write (" + std::strerror(errno) + ")");
    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0)
        return Status::failure(
            quotedForMessage(file.string()) + ": cannot write: " + writeErrorText(err));
    return Status::success();
}

} // namespace

Status writeOutputFile(
    const fs::path &file, std::string_view bytes, const std::vector<fs::path> &protectedFiles)
{
    const std::string name = quotedForMessage(file.string());
    if (file.empty())
        return Status::failure("no output file named: give a file name, or - for standard output");
    struct stat st
    {
    };
    if (::stat(file.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return Status::failure(name + ": cannot write (" + std::strerror(errno) + ")");
        return writeFileAtomically(file, bytes);
    }
    for (const fs::path &p : protectedFiles)
        if (sameFile(st, p))
            return Status::failure(name
                + " is the database in use or its backup; nothing was "
                  "written. Choose another output file");
    if (S_ISDIR(st.st_mode))
        return Status::failure(name + " is a folder; give a file name inside it");
    if (!S_ISREG(st.st_mode))
        return writeInPlace(file, bytes);
    // Through a link, replace the file it points to and keep the link.
    std::error_code ec;
    const fs::path target = fs::is_symlink(file, ec) ? fs::canonical(file, ec) : file;
    if (ec)
        return Status::failure(name + ": cannot follow the link (" + ec.message() + ")");
    return writeFileAtomically(target, bytes);
}

} // namespace loto6
