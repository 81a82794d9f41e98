#pragma once

#include "store/historyupdater.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

// The local HTTP server of the download tests.
namespace loto6::test {

// A one-thread HTTP server on 127.0.0.1 that answers every request with the same raw bytes.
// It stops when destroyed, or by itself after a few seconds.
class TestServer
{
public:
    explicit TestServer(std::string response, bool stallAfterSend = false)
        : TestServer([response](const std::string &) { return response; }, stallAfterSend)
    {
    }
    // Answers each request with what `respond` gives for its path.
    explicit TestServer(
        std::function<std::string(const std::string &path)> respond, bool stallAfterSend = false)
        : m_respond(std::move(respond))
        , m_stall(stallAfterSend)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(m_fd, 8) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            throw std::runtime_error("cannot start the test server");
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~TestServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    std::string url(const std::string &path = UpdatePath) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    void serve()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int client = ::accept(m_fd, nullptr, nullptr);
            if (client < 0)
                continue;
            const std::string request = readRequest(client, deadline);
            const std::size_t start = request.find(' ') + 1;
            const std::string response
                = m_respond(request.substr(start, request.find(' ', start) - start));
            std::size_t done = 0;
            while (done < response.size()) {
                const ssize_t n
                    = ::send(client, response.data() + done, response.size() - done, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            while (m_stall && !m_stop && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::close(client);
        }
    }
    static std::string readRequest(int client, std::chrono::steady_clock::time_point deadline)
    {
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos
            && std::chrono::steady_clock::now() < deadline) {
            pollfd p{client, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0)
                return request;
            request.append(buf, static_cast<std::size_t>(n));
        }
        return request;
    }

    std::function<std::string(const std::string &path)> m_respond;
    bool m_stall;
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

inline std::string httpReply(int status, const std::string &body, bool withLength = true)
{
    std::string head = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Error")
        + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (withLength)
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

} // namespace loto6::test
