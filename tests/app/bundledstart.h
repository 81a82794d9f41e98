#pragma once

#include "shell/mainfrm.h"

#include <QStringList>
#include <QTemporaryDir>

namespace loto6 {

// Starts the main window on the bundled history in a fresh database in the folder, with its
// message boxes recorded instead of shown.
inline bool startOnBundledHistory(const QTemporaryDir &dir, MainFrm &frame, QStringList &messages)
{
    frame.setMessageFunction(
        [&messages](QMessageBox::Icon, const QString &, const QString &text) { messages << text; });
    return frame.startUp(dir.filePath(QStringLiteral("draws.db")).toStdString(), SHARED_HISTORY)
        .ok();
}

} // namespace loto6
