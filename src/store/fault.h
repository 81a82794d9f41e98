#pragma once

#include <string>

namespace loto6 {

// Why an operation failed, as data: a kind and the facts it names. The core words it in
// English (englishText) for the command line; the desktop words the same facts in Japanese.
// Neither reads the other's text, so rewording one never changes the other.
enum class FaultKind {
    Other,             // a reason without a kind of its own yet: its English text alone
    NoDatabaseNamed,   // no database file name was given
    DatabaseMissing,   // file
    DatabaseIsFolder,  // file
    DatabaseLocked,    // file (may be empty)
    DatabaseDamaged,   // file (may be empty), detail: SQLite's finding
    DrawNumberBeyond,  // value: the stored draw number, limit: the largest held
    NoOutputNamed,     // no output file name was given
    OutputIsFolder,    // file
    ProtectedOutput,   // file: a file of the database in use
    OutputNotWritten,  // file, detail: the system's reason
    UnknownEncoding,   // file (may be empty): neither UTF-8 nor Shift-JIS
    Count              // the number of kinds, for walking them
};

struct Fault
{
    FaultKind kind = FaultKind::Other;
    std::string file;   // as given, unquoted
    int line = 0;       // 1-based; 0 when none
    int column = 0;     // 1-based; 0 when none
    std::string field;  // a column or number name (第1数字)
    std::string value;  // the value at fault, as given
    int draw = 0;       // the draw number; 0 when none
    long long limit = 0;
    std::string detail; // a system's or library's own words, shown as they are
    std::string text;   // the English text of an Other fault
};

// The command line's English text of a fault.
std::string englishText(const Fault &fault);

} // namespace loto6
