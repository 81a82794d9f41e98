#pragma once

#include "store/result.h"

#include <QString>

namespace loto6 {

class MainFrm;

// What the program keeps between runs besides the database: the twelve prediction switches in
// the settings file, and in the user's configuration folder (QSettings) the main window's size,
// place and toolbar with the child windows that were open and where they stood.

// Reads the switches into the document (what cannot be read shows in the status bar) and puts
// the main window back as it was.
void restoreSession(MainFrm &frame);
// Opens the child windows of the last run where they stood, once the main window shows.
void restoreOpenWindows(MainFrm &frame);
// Writes the switches and, with `layout`, the window layout with the open windows as encoded
// by WindowArranger. A write that fails is told to the user, with the file and what to do.
// Returns how the settings file was written.
Status saveSession(MainFrm &frame, const QString &openWindows, bool layout);

} // namespace loto6
