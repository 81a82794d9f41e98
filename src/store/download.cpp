#include "store/download.h"

#include "store/downloadmodule.h"
#include "store/paths.h"
#include "store/textcodec.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <vector>

#ifndef LOTO6_DOWNLOAD_MODULE_DIR
#define LOTO6_DOWNLOAD_MODULE_DIR "../lib/loto6zumvel"
#endif

namespace loto6 {

namespace fs = std::filesystem;

namespace {

// The module's places: beside the program (a local build), then the installed library folder.
std::vector<fs::path> modulePlaces()
{
    const fs::path dir = programDir();
    return {dir / DownloadModuleFileName,
        (dir / LOTO6_DOWNLOAD_MODULE_DIR / DownloadModuleFileName).lexically_normal()};
}

struct LoadedModule
{
    DownloadEntry entry = nullptr;
    std::string error;
};

LoadedModule loadModule()
{
    LoadedModule loaded;
    std::string tried;
    for (const fs::path &place : modulePlaces()) {
        std::error_code ec;
        if (!fs::exists(place, ec)) {
            tried += (tried.empty() ? "" : ", ") + place.string();
            continue;
        }
        // Kept loaded for the rest of the run: the HTTP library's global state lives there.
        void *handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char *why = ::dlerror();
            loaded.error = "cannot load the download module " + place.string() + ": "
                + (why ? why : "unknown error") + "; reinstall the program";
            return loaded;
        }
        loaded.entry = reinterpret_cast<DownloadEntry>(::dlsym(handle, DownloadEntryName));
        if (!loaded.entry)
            loaded.error = "the download module " + place.string()
                + " does not match this program; reinstall the program";
        return loaded;
    }
    loaded.error = std::string("cannot find the download module ") + DownloadModuleFileName
        + " (looked in " + tried + "); reinstall the program";
    return loaded;
}

const LoadedModule &module()
{
    static std::once_flag once;
    static LoadedModule loaded;
    std::call_once(once, [] { loaded = loadModule(); });
    return loaded;
}

} // namespace

namespace {

bool forwardProgress(const void *context, std::uint64_t received, std::uint64_t total)
{
    return static_cast<const DownloadLimits *>(context)->progress(received, total);
}

} // namespace

bool pastDeadline(const DownloadLimits &limits)
{
    return limits.deadline && std::chrono::steady_clock::now() >= *limits.deadline;
}

bool keepGoing(const DownloadLimits &limits, std::uint64_t received)
{
    return !limits.progress || limits.progress(received, 0);
}

const Fault &downloadReason(const Fault &failure)
{
    const Fault *f = &failure;
    while (f->cause)
        f = f->cause.get();
    return *f;
}

bool isHttpStatus(const Fault &failure, int status)
{
    const Fault &why = downloadReason(failure);
    return why.kind == FaultKind::HttpStatus && why.value == std::to_string(status);
}

Status download(const std::string &url, std::string &body, const DownloadLimits &limits)
{
    const LoadedModule &m = module();
    // The address is the user's or a server's text: shown once, escaped and cut.
    const auto failed = [&url](Fault why) {
        Fault f{.kind = FaultKind::DownloadFailed, .file = url};
        if (why.kind == FaultKind::Other)
            f.detail = why.text;
        else
            f.cause = std::make_shared<const Fault>(std::move(why));
        return Status::failure(std::move(f));
    };
    if (!m.entry)
        return failed(Fault{.text = m.error});
    DownloadRequest request;
    request.url = url.c_str();
    request.connectTimeoutMs = static_cast<long>(limits.connectTimeout.count());
    request.totalTimeoutMs = static_cast<long>(limits.totalTimeout.count());
    if (limits.deadline) {
        using namespace std::chrono;
        const auto left
            = duration_cast<milliseconds>(*limits.deadline - steady_clock::now()).count();
        if (left <= 0)
            return failed(Fault{.kind = FaultKind::DeadlinePassed});
        // A millisecond more, so that a download cut short by it ends past the deadline.
        request.totalTimeoutMs = std::min(request.totalTimeoutMs, static_cast<long>(left) + 1);
        request.connectTimeoutMs = std::min(request.connectTimeoutMs, static_cast<long>(left) + 1);
    }
    request.maxBytes = limits.maxBytes;
    if (limits.progress) {
        request.progress = forwardProgress;
        request.progressContext = &limits;
    }
    if (Fault why; !m.entry(request, body, why))
        return failed(std::move(why));
    return Status::success();
}

} // namespace loto6
