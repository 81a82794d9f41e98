#pragma once

class QLabel;
class QStatusBar;

namespace loto6 {

class HistoryDocument;

// Sets up the main window's status bar: messages in a line of their own that ends in "…" when
// the window is too narrow for them, and a label for the history in use, which it returns.
QLabel *createStatusLine(QStatusBar &bar);
// Shows the history in use ("第N回（…）まで　M回分", with its 基準回) and what the read found
// wrong in it.
void showHistoryStatus(QStatusBar &bar, QLabel &historyLabel, const HistoryDocument &document);

} // namespace loto6
