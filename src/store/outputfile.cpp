#include "store/outputfile.h"

#include "store/atomicfile.h"
#include "store/textcodec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

std::mutex &heldMutex()
{
    static std::mutex mutex;
    return mutex;
}

// One entry per open connection: a file opened twice stays held until both close.
std::vector<fs::path> &held()
{
    static std::vector<fs::path> files;
    return files;
}

// The same path once both are made absolute and free of "." and "..", for a file not there yet.
bool sameName(const fs::path &a, const fs::path &b)
{
    std::error_code ec1;
    std::error_code ec2;
    const fs::path x = fs::weakly_canonical(fs::absolute(a, ec1), ec1);
    const fs::path y = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
    return !ec1 && !ec2 && x == y;
}

bool sameFile(const struct stat &a, const fs::path &other)
{
    struct stat b
    {
    };
    return ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

Status outputFault(FaultKind kind, const fs::path &file, std::string detail = {})
{
    Fault f;
    f.kind = kind;
    f.file = file.string();
    f.detail = std::move(detail);
    return Status::failure(std::move(f));
}

Status writeInPlace(const fs::path &file, std::string_view bytes)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return outputFault(FaultKind::OutputNotWritten, file, std::strerror(errno));
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
        return Status::failure(Fault{.kind = FaultKind::FileNotWritten,
            .file = file.string(),
            .quoteFile = true,
            .detail = writeErrorText(err)});
    return Status::success();
}

// The file a name stands for when it does not exist: itself, or the file a dangling link (or
// chain of links) names, which is the one to write, so that the link stays.
Status nameBehindLinks(const fs::path &file, fs::path &named)
{
    named = file;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(named.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return Status::success();
        std::error_code ec;
        const fs::path target = fs::read_symlink(named, ec);
        if (ec)
            return Status::failure(Fault{.kind = FaultKind::LinkNotFollowed,
                .file = file.string(),
                .quoteFile = true,
                .detail = ec.message()});
        named = target.is_absolute() ? target : named.parent_path() / target;
    }
    return Status::failure(Fault{.kind = FaultKind::LinkNotFollowed,
        .file = file.string(),
        .quoteFile = true,
        .detail = std::strerror(ELOOP)});
}

} // namespace

fs::path databaseBackupPath(const fs::path &database)
{
    fs::path backup = database;
    backup += ".bak";
    return backup;
}

std::vector<fs::path> databaseFiles(const fs::path &database)
{
    std::vector<fs::path> files{database, databaseBackupPath(database)};
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        fs::path companion = database;
        companion += suffix;
        files.push_back(std::move(companion));
    }
    return files;
}

void holdDatabaseFile(const fs::path &database)
{
    if (database.empty())
        return;
    const std::lock_guard lock(heldMutex());
    held().push_back(database);
}

void releaseDatabaseFile(const fs::path &database)
{
    const std::lock_guard lock(heldMutex());
    std::vector<fs::path> &files = held();
    if (const auto it = std::find(files.begin(), files.end(), database); it != files.end())
        files.erase(it);
}

std::vector<fs::path> heldDatabaseFiles()
{
    const std::lock_guard lock(heldMutex());
    return held();
}

Status writeOutputFile(
    const fs::path &file, std::string_view bytes, const std::vector<fs::path> &protectedFiles)
{
    if (file.empty())
        return outputFault(FaultKind::NoOutputNamed, file);
    std::vector<fs::path> guarded = protectedFiles;
    for (const fs::path &database : heldDatabaseFiles())
        for (fs::path &p : databaseFiles(database))
            guarded.push_back(std::move(p));
    struct stat st
    {
    };
    if (::stat(file.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return outputFault(FaultKind::OutputNotWritten, file, std::strerror(errno));
        // A journal or backup not made yet is still the database's: SQLite or the next update
        // would take the output for its own, under its name or through a link.
        fs::path named;
        if (Status s = nameBehindLinks(file, named); !s)
            return s;
        for (const fs::path &p : guarded)
            if (sameName(file, p) || sameName(named, p))
                return outputFault(FaultKind::ProtectedOutput, file);
        return writeFileAtomically(named, bytes);
    }
    for (const fs::path &p : guarded)
        if (sameFile(st, p))
            return outputFault(FaultKind::ProtectedOutput, file);
    if (S_ISDIR(st.st_mode))
        return outputFault(FaultKind::OutputIsFolder, file);
    if (!S_ISREG(st.st_mode))
        return writeInPlace(file, bytes);
    // Through a link, replace the file it points to and keep the link.
    std::error_code ec;
    const fs::path target = fs::is_symlink(file, ec) ? fs::canonical(file, ec) : file;
    if (ec)
        return Status::failure(Fault{.kind = FaultKind::LinkNotFollowed,
            .file = file.string(),
            .quoteFile = true,
            .detail = ec.message()});
    return writeFileAtomically(target, bytes);
}

} // namespace loto6
