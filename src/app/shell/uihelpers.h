#pragma once

#include "grid/rgb.h"

#include <QString>

#include <string_view>

class QIcon;
class QLabel;
class QPushButton;
class QWidget;

namespace loto6 {

class SheetView;

// Small pieces every window uses: UTF-8 core texts as QString, the message box titles, and the
// coloured push buttons of the window frames.
inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message box titles (UTF-8): errors and notices, and questions in the program's name.
inline constexpr const char *MessageTitle = "メッセ－ジ"; // with the full-width hyphen
inline constexpr const char *ProgramTitle = "ロト6ズンベル";

QPushButton *colouredButton(const QString &text, Rgb color, const QString &name, QWidget *parent);
// The colour of every child window's 閉じる button.
inline constexpr Rgb CloseButtonColor = rgb(255, 255, 192);

// The notes under a report table, for a label that wraps them: the grid shows each note on one
// line that runs on out of sight. Notes are rows with "注" in the first cell and the note
// beside it, or "注　" and the note in the first cell; the grid hides them (and an empty row
// just above the first), and the label shows them, one paragraph each.
QLabel *notesLabel(QWidget *parent);
void moveNotesToLabel(SheetView &grid, QLabel &label);

// The program's own icon, the one installed with the desktop entry.
QIcon programIcon();

} // namespace loto6
