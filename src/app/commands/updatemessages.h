#pragma once

#include "store/historyimport.h"
#include "store/historyupdater.h"

#include <QCoreApplication>
#include <QString>

#include <filesystem>
#include <vector>

namespace loto6 {

// The Japanese texts of the update and the import in the desktop program: each says what
// happened and what the user can do, with file paths and addresses on lines of their own and
// the core's own reason last, as 詳細.
class UpdateMessages
{
    Q_DECLARE_TR_FUNCTIONS(UpdateMessages)

public:
    // No source is set: where to write one.
    static QString notConfigured(const std::filesystem::path &programFolder);
    // A finished update that did not succeed (not for WouldLoseDraws, which is a question).
    static QString updateFailed(const UpdateResult &result, const std::filesystem::path &database);
    // The question before an update that drops or changes held draws; No keeps everything.
    static QString lossQuestion(const UpdateResult &result);
    // The question before an import that changes held draws.
    static QString importConflictQuestion(const std::vector<DrawConflict> &conflicts);
    // An import that changed nothing: what the files held, each draw already stored.
    static QString nothingNew(const IncomingHistory &incoming);
    // A refused file: which, where in it and why.
    static QString importRefused(const Status &status, const std::filesystem::path &file);
    // The database could not be read or written.
    static QString databaseFailed(
        const QString &what, const Status &status, const std::filesystem::path &database);

    // "第21～30回、第35回", at most maxRuns runs, then how many more draws.
    static QString drawRuns(const std::vector<int> &drawNumbers, int maxRuns = 8);
    // One conflict: "第3回: 保存 04 05 06 07 08 09 (10) → 新 04 05 06 07 08 11 (10)".
    static QString conflictLine(const DrawConflict &conflict);
    // The core's reason in Japanese (CoreReasons) with the given path taken out.
    static QString detail(const Status &status, const std::filesystem::path &shownPath = {});
    static QString pathText(const std::filesystem::path &path);
};

} // namespace loto6
