#pragma once

#include "core/resultsmodel.h"
#include "render/labels.h"

#include <QObject>
#include <QString>

class AxisScaleForm;
class QAction;
class QMenu;
class QStatusBar;
class QTreeView;
class QLabel;
class QWidget;
class ScaleCheckForm;
class ProjectExtension;
class Workspace;

// The scale checks, the separate X/Y scale and the uncertainty options: their menu items
// ("Maßstab prüfen...", "Maßstab X/Y getrennt..." under "Maßstab", six check marks under
// "Einstellungen") and how the repaint, the results list and the project file use what the
// workspace keeps of them.
class MeasurementCommands : public QObject
{
    Q_OBJECT
public:
    MeasurementCommands(QWidget *window, QMenu *scaleMenu, QMenu *settingsMenu, Workspace &work);

    QAction *checkScaleItem = nullptr;      // "Maßstab prüfen..."
    QAction *axisScaleItem = nullptr;       // "Maßstab X/Y getrennt..."
    QAction *segmentsItem = nullptr;        // sides as child rows of the results list
    QAction *csvWithoutSegmentsItem = nullptr;
    QAction *uncertaintyItem = nullptr;     // "±" columns
    QAction *labelUncertaintyItem = nullptr;
    QAction *fitDecimalsItem = nullptr;     // "Nachkommastellen passend zur Genauigkeit"
    QAction *sideLabelsItem = nullptr;      // each side's length in the drawing

    ResultsOptions resultsOptions() const;
    // Whether the check mark "CSV-Export ohne die Zeilen der Seiten" is set.
    bool omitsSides() const;
    // The label settings with the uncertainty options.
    NumberSettings labelNumbers(NumberSettings numbers) const;

    void checkScale();
    void separateAxes();
    // Both factors and their ratio in the status bar while the axes have scales of their own.
    void showScale(QStatusBar *bar);

signals:
    void repaintNeeded();

private:
    QWidget *window;
    Workspace &work;
    ScaleCheckForm *checkForm = nullptr;
    AxisScaleForm *axisForm = nullptr;
    QLabel *scaleLabel = nullptr;
};

// The chunks of the checks, the axis lines and the placement zooms of work, written or removed.
void storeScaleRecords(ProjectExtension &extension, const Workspace &work);
// Sets the scale and unit of an opened project with its separate axes and checks, and the
// elements' placement zooms, from extension.
void applyScaleRecords(const ProjectExtension &extension, Workspace &work);

// The results list reopens the element rows the user opened, across the reset of every repaint.
void keepExpandedRows(QTreeView *view);
