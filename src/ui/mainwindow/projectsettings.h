#pragma once

#include "core/projectfile.h"

class TMainForm;

// The drawing settings a project carries, read from and written into the main window's
// controls: the swatch Shape1, WidthEd, PfeillangEd, the six option check marks, zoomed and the
// label font; and the scale (pixelLength, realLength, unit), which the project keeps in its extension block.

// The settings as the controls show them. original is the font record the label font was
// loaded from, if any: every part of it the font still matches is kept as stored, so a face
// missing on this system is written back under its own name.
ProjectSettings settingsFromWindow(const TMainForm &window, const FontRecord *original);

// Sets every control as the program would: values outside a field's range take its nearest
// limit, a value that is not a number takes the field's initial value, the zoom is truncated to
// a whole percentage, and the results list follows its check mark. The option check marks are
// set without running their commands. A project without a usable scale keeps the current one.
void applySettingsToWindow(TMainForm &window, const ProjectSettings &settings);
