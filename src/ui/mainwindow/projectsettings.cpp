#include "ui/mainwindow/projectsettings.h"

#include "render/fontrecord.h"
#include "ui/commands/measurementcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/widgets/colorswatch.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QSpinBox>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The six check marks in the order the project file stores them.
std::array<QAction *, 6> flagItems(const MainMenus &m)
{
    return {m.showScaleLine,
            m.showResultsList,
            m.outlineText,
            m.pointerAfterMeasuring,
            m.askElementNames,
            m.presetSizesOnOpen};
}

std::array<bool ProjectSettings::*, 6> flagFields()
{
    return {&ProjectSettings::showScaleLine, &ProjectSettings::showResults,
            &ProjectSettings::outlineText,   &ProjectSettings::pointerAfterMeasuring,
            &ProjectSettings::askName,       &ProjectSettings::adaptToImage};
}

double withinRange(double value, double minimum, double maximum, double initial)
{
    if (std::isnan(value))
        return initial;
    return std::clamp(value, minimum, maximum);
}

void setField(ExactSpinBox *field, double value, double initial)
{
    field->setValue(withinRange(value, field->minimum(), field->maximum(), initial));
}

} // namespace

ProjectSettings settingsFromWindow(const TMainForm &window, const FontRecord *original)
{
    const SettingsRow &row = window.settings;
    const DrawingSettings drawing = window.workspace().drawingSettings();
    ProjectSettings s;
    s.colour = colorRef(drawing.elementColor);
    s.linewidth = drawing.lineWidth;
    s.arrowlength = drawing.arrowLength;
    const auto items = flagItems(window.menus);
    const auto fields = flagFields();
    for (std::size_t i = 0; i < items.size(); ++i)
        s.*fields[i] = items[i]->isChecked();
    s.zoom = row.zoomed->value();
    s.font = recordFromFont(drawing.labelFont.font, drawing.labelFont.color, original);
    const Scale scale = window.workspace().scale();
    s.extension.setScale({scale.pixelLength, scale.realLength, window.workspace().numberSettings().unit});
    storeScaleRecords(s.extension, window.workspace());
    return s;
}

void applySettingsToWindow(TMainForm &window, const ProjectSettings &s)
{
    const ProjectSettings initial;
    const SettingsRow &row = window.settings;
    // The scale and the font first: each field below repaints as it changes.
    applyScaleRecords(s.extension, window.workspace());
    window.workspace().setLabelFont(LabelFont{fontFromRecord(s.font), colorFromRef(s.font.colour)});
    row.Shape1->setBrushColor(colorFromRef(s.colour));
    setField(row.WidthEd, s.linewidth, initial.linewidth);
    setField(row.PfeillangEd, s.arrowlength, initial.arrowlength);

    const auto items = flagItems(window.menus);
    const auto fields = flagFields();
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i]->setChecked(s.*fields[i]);
    window.Ergebnisslisteanzeigen1Click();

    const double zoom = withinRange(s.zoom, row.zoomed->minimum(), row.zoomed->maximum(), initial.zoom);
    row.zoomed->setValue(static_cast<int>(std::trunc(zoom)));
}
