#include "store/fault.h"

#include "store/textcodec.h"

namespace loto6 {

namespace {

// "FILE: " before a reason that names its file; nothing when there is none.
std::string filePrefix(const Fault &f) { return f.file.empty() ? std::string() : f.file + ": "; }

} // namespace

std::string englishText(const Fault &f)
{
    const std::string quoted = quotedForMessage(f.file);
    switch (f.kind) {
    case FaultKind::Other:
    case FaultKind::Count:
        break;
    case FaultKind::NoDatabaseNamed:
        return "no database file named: give a file name";
    case FaultKind::DatabaseMissing:
        return filePrefix(f) + "the database file does not exist";
    case FaultKind::DatabaseIsFolder:
        return filePrefix(f) + "is a folder, not a database file";
    case FaultKind::DatabaseLocked:
        return filePrefix(f)
            + "the database is in use by another program (database is locked); close it there "
              "and try again";
    case FaultKind::DatabaseDamaged:
        return filePrefix(f) + "the database file is damaged (" + quotedForMessage(f.detail)
            + "); nothing was written. Restore it from its .bak file or another copy";
    case FaultKind::DrawNumberBeyond:
        return "the stored draw number " + f.value + " is beyond " + std::to_string(f.limit)
            + ", the largest the program holds; correct or delete that row of 結果マスタ with a "
              "database tool, or restore a backup";
    case FaultKind::NoOutputNamed:
        return "no output file named: give a file name, or - for standard output";
    case FaultKind::OutputIsFolder:
        return quoted + " is a folder; give a file name inside it";
    case FaultKind::ProtectedOutput:
        return quoted
            + " is the database in use or its backup; nothing was written. Choose another output "
              "file";
    case FaultKind::OutputNotWritten:
        return quoted + ": cannot write (" + f.detail + ")";
    case FaultKind::UnknownEncoding:
        return (f.file.empty() ? std::string() : quoted + ": ")
            + "unknown encoding: the file is neither UTF-8 nor Shift-JIS";
    }
    return f.text.empty() ? std::string("unknown error") : f.text;
}

} // namespace loto6
