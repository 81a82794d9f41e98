// The download module: libcurl behind the boundary of downloadmodule.h.
#include "store/downloadmodule.h"
#include "store/result.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>

namespace loto6 {

namespace {

struct Sink
{
    std::string bytes;
    std::size_t limit = 0;
    bool overLimit = false;
    std::size_t headerBytes = 0;
    bool headerOverLimit = false;
};

// The headers of one answer (redirects included) may take this much; a server sending more is
// refused rather than held.
constexpr std::size_t MaxHeaderBytes = 256 * 1024;

std::size_t countHeader(char *, std::size_t size, std::size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    sink->headerBytes += size * count;
    if (sink->headerBytes > MaxHeaderBytes) {
        sink->headerOverLimit = true;
        return 0; // stops the transfer
    }
    return size * count;
}

std::size_t collect(char *data, std::size_t size, std::size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const std::size_t n = size * count;
    if (sink->bytes.size() + n > sink->limit) {
        sink->overLimit = true;
        return 0; // a short count makes libcurl stop with CURLE_WRITE_ERROR
    }
    sink->bytes.append(data, n);
    return n;
}

std::string sizeText(std::size_t bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// Schemes are case-insensitive: HTTP://host is http://host.
bool hasScheme(const std::string &url, std::string_view scheme)
{
    return url.size() >= scheme.size()
        && std::equal(scheme.begin(), scheme.end(), url.begin(),
            [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

struct CurlDeleter
{
    void operator()(CURL *c) const { curl_easy_cleanup(c); }
};

int reportProgress(void *user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    const auto *request = static_cast<const DownloadRequest *>(user);
    const auto count = [](curl_off_t n) { return n > 0 ? static_cast<std::uint64_t>(n) : 0u; };
    // Non-zero makes libcurl stop with CURLE_ABORTED_BY_CALLBACK.
    return request->progress(request->progressContext, count(now), count(total)) ? 0 : 1;
}

void configure(CURL *c, const DownloadRequest &request, Sink &sink, char *errorText)
{
    curl_easy_setopt(c, CURLOPT_URL, request.url);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L); // time-outs without SIGALRM
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, countHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Loto6Zumvel/1.0");
    if (request.progress) {
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, reportProgress);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &request);
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    }
}

// The reason of a transfer libcurl gave up on, as its kind.
Fault transferFailure(
    CURLcode rc, const Sink &sink, const DownloadRequest &request, const char *errorText)
{
    const std::string detail = errorText[0] ? errorText : curl_easy_strerror(rc);
    // libcurl refuses a single header line over its own limit as out of memory.
    if (sink.headerOverLimit || rc == CURLE_OUT_OF_MEMORY)
        return Fault{.kind = FaultKind::OversizedHeader};
    if (sink.overLimit || rc == CURLE_FILESIZE_EXCEEDED)
        return Fault{.kind = FaultKind::BodyTooLarge, .value = sizeText(request.maxBytes)};
    switch (rc) {
    case CURLE_ABORTED_BY_CALLBACK:
        return Fault{.kind = FaultKind::DownloadCancelled};
    case CURLE_OPERATION_TIMEDOUT:
        return Fault{.kind = FaultKind::TimedOut, .detail = detail};
    case CURLE_PARTIAL_FILE:
        return Fault{.kind = FaultKind::TransferEnded, .detail = detail};
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return Fault{.kind = FaultKind::HostNotFound, .detail = detail};
    case CURLE_COULDNT_CONNECT:
        return Fault{.kind = FaultKind::Unreachable, .detail = detail};
    default:
        return Fault{.kind = FaultKind::Other, .text = detail};
    }
}

Status fetch(const DownloadRequest &request, std::string &body)
{
    const std::string url = request.url;
    // libcurl's global set-up is not thread-safe, so it runs once, on first use.
    static std::once_flag initOnce;
    static CURLcode initCode = CURLE_OK;
    std::call_once(initOnce, [] { initCode = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (initCode != CURLE_OK)
        return Status::failure(
            Fault{.kind = FaultKind::DownloadStart, .detail = curl_easy_strerror(initCode)});

    if (!hasScheme(url, "http://") && !hasScheme(url, "https://"))
        return Status::failure(Fault{.kind = FaultKind::DownloadScheme});

    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return Status::failure(Fault{.kind = FaultKind::DownloadStart});
    CURL *c = curl.get();

    Sink sink;
    sink.limit = request.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    configure(c, request, sink, errorText);
    // The loopback address never goes through a proxy; the user's own exceptions still count.
    std::string noProxy = "localhost,127.0.0.1,::1";
    for (const char *name : {"no_proxy", "NO_PROXY"})
        if (const char *v = std::getenv(name); v && *v) {
            noProxy += ',';
            noProxy += v;
            break;
        }
    curl_easy_setopt(c, CURLOPT_NOPROXY, noProxy.c_str());

    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK)
        return Status::failure(transferFailure(rc, sink, request, errorText));

    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        return Status::failure(
            Fault{.kind = FaultKind::HttpStatus, .value = std::to_string(status)});

    // A body shorter than the announced length is a cut transfer even if libcurl let it pass.
    curl_off_t announced = -1;
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced >= 0 && static_cast<curl_off_t>(sink.bytes.size()) != announced)
        return Status::failure(Fault{.kind = FaultKind::TransferShort,
            .value = std::to_string(sink.bytes.size()),
            .limit = static_cast<long long>(announced)});
    if (sink.bytes.empty())
        return Status::failure(Fault{.kind = FaultKind::EmptyBody});

    body = std::move(sink.bytes);
    return Status::success();
}

} // namespace

} // namespace loto6

extern "C" __attribute__((visibility("default"))) bool loto6_download_v4(
    const loto6::DownloadRequest &request, std::string &body, loto6::Fault &reason)
{
    // Nothing may escape into the loading program as an exception across the boundary.
    try {
        const loto6::Status s = loto6::fetch(request, body);
        if (!s)
            reason = s.fault();
        return s.ok();
    } catch (const std::exception &e) {
        reason = loto6::Fault{.text = e.what()};
    } catch (...) {
        reason = loto6::Fault{.text = "an unexpected error"};
    }
    return false;
}
