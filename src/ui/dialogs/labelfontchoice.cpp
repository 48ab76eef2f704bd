#include "ui/dialogs/labelfontchoice.h"

#include "core/translate.h"

#include <QColorDialog>
#include <QFontDialog>

#include <algorithm>
#include <cmath>

bool chooseLabelFont(QWidget *parent, LabelFont &font)
{
    QFontDialog fonts(font.font, parent);
    fonts.setObjectName(QStringLiteral("FontDialog1"));
    // The dialog shows the face it found for the stored name; that one means "unchanged".
    const QString shownFace = fonts.currentFont().family();
    if (fonts.exec() != QDialog::Accepted)
        return false;
    QFont chosen = fonts.selectedFont();
    if (chosen.family() == shownFace)
        chosen.setFamily(font.font.family());
    // Label sizes are character heights in pixels at zoom 100, whatever unit the dialog used.
    if (chosen.pixelSize() <= 0)
        chosen.setPixelSize(std::max(1, static_cast<int>(std::lround(chosen.pointSizeF() * 96.0 / 72.0))));
    font.font = chosen;

    QColorDialog colours(font.color, parent);
    colours.setObjectName(QStringLiteral("FontColorDialog"));
    colours.setWindowTitle(Translate(QStringLiteral("Schriftfarbe")));
    if (colours.exec() == QDialog::Accepted && colours.selectedColor().isValid())
        font.color = colours.selectedColor();
    return true;
}
