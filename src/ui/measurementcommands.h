#pragma once

#include "core/geometry.h"
#include "core/resultsmodel.h"
#include "core/scalecheck.h"
#include "render/labels.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class AxisScaleForm;
class Document;
class QAction;
class QMenu;
class QStatusBar;
class QTreeView;
class QLabel;
class QWidget;
class ScaleCheckForm;
class ProjectExtension;

// The scale checks, the separate X/Y scale and the uncertainty options: their menu items
// ("Maßstab prüfen...", "Maßstab X/Y getrennt..." under "Maßstab", five check marks under
// "Einstellungen"), what they keep, and how the repaint, the results list and the project file
// use it.
class MeasurementCommands : public QObject
{
    Q_OBJECT
public:
    struct Host {
        std::function<Document &()> document;
        std::function<Scale()> scale;
        std::function<QString()> unit;
        // Applies a new scale and repaints.
        std::function<void(const Scale &)> setScale;
        std::function<void()> repaint;
    };

    MeasurementCommands(QWidget *window, QMenu *scaleMenu, QMenu *settingsMenu, Host host);

    QAction *checkScaleItem = nullptr;      // "Maßstab prüfen..."
    QAction *axisScaleItem = nullptr;       // "Maßstab X/Y getrennt..."
    QAction *segmentsItem = nullptr;        // sides as child rows of the results list
    QAction *csvWithoutSegmentsItem = nullptr;
    QAction *uncertaintyItem = nullptr;     // "±" columns
    QAction *labelUncertaintyItem = nullptr;
    QAction *fitDecimalsItem = nullptr;     // "Nachkommastellen passend zur Genauigkeit"

    const std::vector<ReferenceLine> &checks() const { return scaleChecks; }
    const std::optional<std::array<ReferenceLine, 2>> &axisLines() const { return axes; }

    ResultsOptions resultsOptions(Document &doc, const Scale &scale) const;
    // The label settings with the uncertainty options.
    NumberSettings labelNumbers(NumberSettings numbers, Document &doc, const Scale &scale) const;
    // Both factors and their ratio while the axes have scales of their own; empty otherwise.
    QString scaleText(const Scale &scale, const QString &unit) const;

    // The chunks of the checks, the axis lines and the placement zooms, written or removed.
    void store(ProjectExtension &extension, const Document &doc) const;
    // Reads them from an opened project into the document and the scale.
    void apply(const ProjectExtension &extension, Document &doc, Scale &scale);
    // A scale set another way replaces the separate axes and makes the checks history.
    void scaleReplaced();

    void checkScale();
    void separateAxes();
    // Both factors and their ratio in the status bar while the axes have scales of their own.
    void showScale(QStatusBar *bar, const Scale &scale, const QString &unit);

private:
    QWidget *window;
    Host host;
    ScaleCheckForm *checkForm = nullptr;
    AxisScaleForm *axisForm = nullptr;
    QLabel *scaleLabel = nullptr;
    std::vector<ReferenceLine> scaleChecks;
    std::optional<std::array<ReferenceLine, 2>> axes;
};

// True when the check mark "CSV-Export ohne die Zeilen der Seiten" of window is set.
bool omitsSides(const QWidget *window);

// The results list reopens the element rows the user opened, across the reset of every repaint.
void keepExpandedRows(QTreeView *view);
