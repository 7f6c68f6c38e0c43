#pragma once
// Numbered program texts, kept in a text file next to the program so a
// translator can edit them without a build.

#include <QString>

namespace Language {

// Loads the program-text file (a name without folder) from the program's
// folder. On failure shows the reason in a message box and returns false;
// the caller then ends the program.
bool LoadProgramTexts(const QString& fileName);

// The message for a failed load with library result r (r <= 0).
QString LoadFailureMessage(int r, const QString& fullPath);

// Text number n of the current text set; empty when the file has no such
// text or holds "~" for it.
QString ProgramText(int n);

// The text set passed with every lookup; the main window's reset returns it
// to the default.
void ResetTextSet();
int TextSet();

} // namespace Language
