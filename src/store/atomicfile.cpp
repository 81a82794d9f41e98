#include "store/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace loto6 {

namespace fs = std::filesystem;

std::string writeErrorText(int err)
{
    if (err == ENOSPC || err == EDQUOT)
        return std::string("the disk is full (") + std::strerror(err)
            + "); free some space and try again";
    if (err == EFBIG)
        return std::string("the file would exceed a size limit (") + std::strerror(err)
            + "); raise the limit (ulimit -f) or write elsewhere";
    return std::strerror(err);
}

fs::path temporarySibling(const fs::path &file)
{
    static std::mt19937_64 rng{std::random_device{}()};
    fs::path p = file;
    p += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(rng() % 1000000);
    return p;
}

namespace {

// The fault of a file, its name put first as it is.
Status failed(FaultKind kind, const fs::path &file, std::string detail)
{
    return Status::failure(Fault{.kind = kind, .file = file.string(), .detail = std::move(detail)});
}

} // namespace

Status syncFile(const fs::path &file)
{
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0)
        return failed(FaultKind::FileNotCreated, file, std::strerror(errno));
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!ok)
        return failed(FaultKind::FileNotFlushed, file, std::strerror(err));
    return Status::success();
}

namespace {

// The temporary files being written, where a signal handler can read them: a slot is free (0),
// being filled (1) or holds a name (2).
struct InProgressSlot
{
    std::atomic<int> state{0};
    char path[4096];
};
static_assert(std::atomic<int>::is_always_lock_free);
InProgressSlot inProgress[16];

void removeTemporaryFilesAndStop(int signo)
{
    for (InProgressSlot &slot : inProgress)
        if (slot.state.load() == 2)
            ::unlink(slot.path);
    // Ended by the signal as it would have been without this handler.
    ::signal(signo, SIG_DFL);
    ::raise(signo);
}

} // namespace

TemporaryOutput::TemporaryOutput(const fs::path &file)
{
    const std::string &name = file.native();
    if (name.size() >= sizeof inProgress[0].path)
        return;
    for (int i = 0; i < static_cast<int>(std::size(inProgress)); ++i) {
        int expected = 0;
        if (inProgress[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(inProgress[i].path, name.c_str(), name.size() + 1);
            inProgress[i].state.store(2);
            m_slot = i;
            return;
        }
    }
}

TemporaryOutput::~TemporaryOutput()
{
    if (m_slot >= 0)
        inProgress[m_slot].state.store(0);
}

void removeTemporaryFilesOnSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = removeTemporaryFilesAndStop;
    sigemptyset(&action.sa_mask);
    for (int signo : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signo, &action, nullptr);
}

Status writeFileAtomically(const fs::path &file, std::string_view bytes)
{
    const fs::path tmp = temporarySibling(file);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return failed(FaultKind::FileNotWritten, file, std::strerror(errno));
    // Noted once it is this process's own; released after the rename or the removal.
    const TemporaryOutput noted(tmp);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            return failed(FaultKind::FileNotWritten, file, writeErrorText(err));
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return failed(FaultKind::FileNotWritten, file, writeErrorText(err));
    }
    if (::rename(tmp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return failed(FaultKind::FileNotReplaced, file, std::strerror(err));
    }
    return Status::success();
}

Status readFile(const fs::path &file, std::string &bytes)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return failed(FaultKind::FileNotOpened, file, {});
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad())
        return failed(FaultKind::FileNotRead, file, {});
    bytes = buf.str();
    return Status::success();
}

Status readOpenFile(int fd, const fs::path &file, std::string &bytes)
{
    std::string read;
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(FaultKind::FileNotRead, file, std::strerror(errno));
        if (n == 0)
            break;
        read.append(buf, static_cast<std::size_t>(n));
        at += n;
    }
    bytes = std::move(read);
    return Status::success();
}

} // namespace loto6
