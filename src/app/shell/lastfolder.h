#pragma once

#include <QString>

namespace loto6 {

// The folder every file dialog opens in: the one last used by any of them (import, export,
// saving a table), kept between runs; the documents folder before the first use.
QString lastFolder();
// Remembers the folder of a chosen file.
void rememberFolder(const QString &file);

} // namespace loto6
