#pragma once

#include "render/labels.h"

class QWidget;

// The font command: the font dialog, then the colour of the labels. The face name stays as
// stored unless the user picks another face, so a face this system lacks is not replaced by the
// substitute the dialog shows for it. Sizes become pixel heights at zoom 100. Cancelling the
// font dialog changes nothing; cancelling the colour keeps the chosen font with the old colour.
// True when font was changed.
bool chooseLabelFont(QWidget *parent, LabelFont &font);
