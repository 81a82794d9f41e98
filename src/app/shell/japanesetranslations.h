#pragma once

class QCoreApplication;

namespace loto6 {

// Loads Qt's own Japanese translations (standard buttons, file dialogs) from the distribution's
// translation folder, so that every standard dialog speaks Japanese. Returns false, and the
// dialogs stay in English, when the translations are not installed.
bool installJapaneseTranslations(QCoreApplication &app);

} // namespace loto6
