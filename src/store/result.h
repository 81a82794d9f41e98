#pragma once

#include "store/fault.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace loto6 {

// The outcome of an operation that can fail: ok, or a fault with the message that says what
// and where.
class Status
{
public:
    Status() = default;
    static Status success() { return Status(); }
    static Status failure(std::string message)
    {
        Fault f;
        f.text = message.empty() ? std::string("unknown error") : std::move(message);
        std::string text = f.text;
        return Status(std::move(text), std::move(f));
    }
    static Status failure(Fault fault)
    {
        std::string text = englishText(fault);
        return Status(std::move(text), std::move(fault));
    }

    bool ok() const { return m_error.empty(); }
    explicit operator bool() const { return ok(); }
    const std::string &message() const { return m_error; }
    // The kind and facts of the failure; kind Other with the message alone for a reason that
    // has no kind of its own.
    const Fault &fault() const { return m_fault; }

private:
    Status(std::string message, Fault fault)
        : m_error(std::move(message))
        , m_fault(std::move(fault))
    {
    }
    std::string m_error;
    Fault m_fault;
};

// The failure with the file it happened in put first ("FILE: ..."; quoted when `quoted`): the
// file becomes a fact of the fault, or the fault is wrapped when it names a file already.
Status inFile(Status status, const std::filesystem::path &file, bool quoted);
// The failure with its line put first ("line N: ..."), the same way.
Status atLine(Status status, int line);
// The fault `outer` whose text holds the failure `inner` as its cause.
Status causedBy(Fault outer, const Status &inner);

} // namespace loto6
