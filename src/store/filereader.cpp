#include "store/filereader.h"

#include "store/textcodec.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loto6 {

namespace {

// Closes the descriptor on every path out.
struct FileDescriptor
{
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::string sizeText(std::uintmax_t bytes)
{
    if (bytes >= 1024 * 1024)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes / 1024) + " KiB";
}

Status failed(FaultKind kind, int err)
{
    return Status::failure(Fault{.kind = kind, .detail = std::strerror(err)});
}

Status checkKind(const struct stat &st, std::uintmax_t maxBytes, const std::string &what)
{
    if (S_ISDIR(st.st_mode))
        return Status::failure(Fault{.kind = FaultKind::NotAFile});
    if (!S_ISREG(st.st_mode))
        return Status::failure(Fault{.kind = FaultKind::NotOrdinaryFile});
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return Status::failure(Fault{.kind = FaultKind::FileTooBig,
            .field = what,
            .value = sizeText(static_cast<std::uintmax_t>(st.st_size)),
            .detail = sizeText(maxBytes)});
    return Status::success();
}

} // namespace

Status readRegularFile(const std::filesystem::path &file, std::uintmax_t maxBytes,
    const std::string &what, std::string &bytes)
{
    // Non-blocking, so that opening a pipe with no writer cannot hang before it is refused.
    FileDescriptor in{::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (in.fd < 0)
        return inFile(failed(FaultKind::FileNotOpened, errno), file, true);
    struct stat st
    {
    };
    if (::fstat(in.fd, &st) != 0)
        return inFile(failed(FaultKind::FileNotRead, errno), file, true);
    if (Status s = checkKind(st, maxBytes, what); !s)
        return inFile(s, file, true);
    std::string content(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        const ssize_t n = ::read(in.fd, content.data() + filled, content.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return inFile(failed(FaultKind::FileNotRead, errno), file, true);
        if (n == 0)
            break; // the file shrank while being read: take what is there
        filled += static_cast<std::size_t>(n);
    }
    content.resize(filled);
    bytes = std::move(content);
    return Status::success();
}

Status checkRegularFile(
    const std::filesystem::path &file, std::uintmax_t maxBytes, const std::string &what)
{
    struct stat st
    {
    };
    if (::stat(file.c_str(), &st) != 0)
        return errno == ENOENT ? Status::success()
                               : inFile(failed(FaultKind::FileNotRead, errno), file, true);
    if (Status s = checkKind(st, maxBytes, what); !s)
        return inFile(s, file, true);
    return Status::success();
}

} // namespace loto6
