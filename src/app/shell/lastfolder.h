#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>

namespace loto6 {

// The layout settings (window places, the last folder) in the user's configuration folder. Qt
// reads the file as soon as they are made, so a file there that is not an ordinary one of a
// bounded size (a pipe, a device, an endless file) is neither read nor written: the layout then
// starts afresh and its save fails.
QSettings layoutSettings();
inline constexpr std::uintmax_t MaxLayoutSettingsBytes = 1024 * 1024;

// The folder every file dialog opens in: the one last used by any of them (import, export,
// saving a table), kept between runs; the documents folder before the first use.
QString lastFolder();
// Remembers the folder of a chosen file.
void rememberFolder(const QString &file);

} // namespace loto6
