#pragma once

#include <string>
#include <utility>

namespace loto6 {

// The outcome of an operation that can fail: ok, or a message that says what and where.
class Status
{
public:
    Status() = default;
    static Status success() { return Status(); }
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return m_error.empty(); }
    explicit operator bool() const { return ok(); }
    const std::string &message() const { return m_error; }

private:
    explicit Status(std::string message)
        : m_error(message.empty() ? std::string("unknown error") : std::move(message))
    {
    }
    std::string m_error;
};

} // namespace loto6
