#include "ui/commands/measurementcommands.h"

#include "core/measurementchunks.h"
#include "core/translate.h"
#include "core/uncertainty.h"
#include "ui/dialogs/axisscaleform.h"
#include "ui/dialogs/scalecheckform.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QStatusBar>
#include <QTreeView>
#include <QWidget>

#include <memory>

namespace {

QAction *addItem(QMenu *menu, QObject *owner, const char *name, const QString &caption, bool checkable = false,
                 bool checked = false)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    action->setChecked(checked);
    action->setMenuRole(QAction::NoRole);
    menu->addAction(action);
    return action;
}

// What the uncertainty of the work's scale rests on.
ScaleBasis basisOf(Workspace &work)
{
    ScaleBasis basis;
    const Scale scale = work.scale();
    if (scale.separateAxes)
        basis.axes = work.axisLines();
    else
        basis.reference = referenceLineOf(work.document(), scale);
    basis.checks = work.scaleChecks();
    return basis;
}

} // namespace

MeasurementCommands::MeasurementCommands(QWidget *window, QMenu *scaleMenu, QMenu *settingsMenu, Workspace &workspace)
    : QObject(window), window(window), work(workspace)
{
    scaleMenu->addSeparator();
    checkScaleItem = addItem(scaleMenu, window, "Mastabprfen1", QStringLiteral("Maßstab prüfen..."));
    axisScaleItem = addItem(scaleMenu, window, "MastabXYgetrennt1", QStringLiteral("Maßstab X/Y getrennt..."));
    settingsMenu->addSeparator();
    segmentsItem = addItem(settingsMenu, window, "SegmenteinderErgebnisliste1",
                           QStringLiteral("Seiten von Polygonen und Strecken in der Ergebnisliste"), true, true);
    csvWithoutSegmentsItem = addItem(settingsMenu, window, "CSVohneSeiten1",
                                     QStringLiteral("CSV-Export ohne die Zeilen der Seiten"), true, false);
    uncertaintyItem =
        addItem(settingsMenu, window, "Unsicherheitanzeigen1", QStringLiteral("Unsicherheit (±) in der Ergebnisliste"), true);
    labelUncertaintyItem = addItem(settingsMenu, window, "UnsicherheitinBeschriftungen1",
                                   QStringLiteral("Unsicherheit (±) in den Beschriftungen"), true);
    fitDecimalsItem = addItem(settingsMenu, window, "NachkommastellenpassendzurGenauigkeit1",
                              QStringLiteral("Nachkommastellen passend zur Genauigkeit"), true);
    sideLabelsItem = addItem(settingsMenu, window, "SeitenlngeninderZeichnung1",
                             QStringLiteral("Seitenlängen in der Zeichnung"), true);

    connect(checkScaleItem, &QAction::triggered, this, &MeasurementCommands::checkScale);
    connect(axisScaleItem, &QAction::triggered, this, &MeasurementCommands::separateAxes);
    for (QAction *a : {segmentsItem, uncertaintyItem, labelUncertaintyItem, fitDecimalsItem, sideLabelsItem})
        connect(a, &QAction::toggled, this, &MeasurementCommands::repaintNeeded);
}

ResultsOptions MeasurementCommands::resultsOptions() const
{
    ResultsOptions o;
    o.scale = work.scale();
    o.segments = segmentsItem->isChecked();
    o.uncertainty = uncertaintyItem->isChecked();
    o.fitDecimals = fitDecimalsItem->isChecked();
    if (o.uncertainty || o.fitDecimals)
        o.covariance = scaleCovariance(o.scale, basisOf(work));
    return o;
}

NumberSettings MeasurementCommands::labelNumbers(NumberSettings numbers) const
{
    numbers.withUncertainty = labelUncertaintyItem->isChecked();
    numbers.fitDecimals = fitDecimalsItem->isChecked();
    numbers.sideLabels = sideLabelsItem->isChecked();
    if (numbers.withUncertainty || numbers.fitDecimals)
        numbers.scaleCovariance = scaleCovariance(work.scale(), basisOf(work));
    return numbers;
}

void MeasurementCommands::checkScale()
{
    if (!checkForm)
        checkForm = new ScaleCheckForm(window);
    const std::optional<ScaleCheckOutcome> out = runScaleCheck(*checkForm, work.document(), work.scaleChecks(),
                                                               work.scale(), work.numberSettings().unit);
    if (!out)
        return;
    std::vector<ReferenceLine> checks = work.scaleChecks();
    checks.push_back(out->check);
    // A new single scale from the check line ends separate axes; the mean keeps them.
    work.setScale(out->scale);
    work.setScaleChecks(checks);
    work.commitStep(Translate(QStringLiteral("Maßstab prüfen")));
    emit repaintNeeded();
}

void MeasurementCommands::separateAxes()
{
    if (!axisForm)
        axisForm = new AxisScaleForm(window);
    const std::optional<AxisScaleOutcome> out =
        runAxisScale(*axisForm, work.document(), work.numberSettings().unit);
    if (!out)
        return;
    work.setScale(out->scale);
    work.setAxisLines(out->lines);
    work.setScaleChecks({});
    work.commitStep(Translate(QStringLiteral("Maßstab X/Y getrennt")));
    emit repaintNeeded();
}

void MeasurementCommands::showScale(QStatusBar *bar)
{
    if (!scaleLabel) {
        scaleLabel = new QLabel(bar);
        scaleLabel->setObjectName(QStringLiteral("scaleLabel"));
        bar->addPermanentWidget(scaleLabel);
    }
    const Scale scale = work.scale();
    scaleLabel->setText(scale.separateAxes ? axisScaleText(scale, work.numberSettings().unit) : QString());
}

void storeScaleRecords(ProjectExtension &extension, const Workspace &work)
{
    setAxisLines(extension, work.scale().separateAxes ? work.axisLines() : std::nullopt);
    setScaleChecks(extension, work.scaleChecks());
    storePlacementZooms(extension, work.document());
}

void applyScaleRecords(const ProjectExtension &extension, Workspace &work)
{
    // Without a stored scale the current one stays, as the original layout had it.
    if (const std::optional<ProjectScale> scale = extension.scale()) {
        work.setScale(withAxisScale(extension, Scale{scale->pixelLength, scale->realLength}));
        work.setUnit(scale->unit);
        work.setAxisLines(axisLines(extension));
        work.setScaleChecks(scaleChecks(extension));
    }
    if (applyPlacementZooms(extension, work.document()))
        work.documentEdited();
}

bool omitsSides(const QWidget *window)
{
    const auto *item = window->findChild<QAction *>(QStringLiteral("CSVohneSeiten1"));
    return item && item->isChecked();
}

void keepExpandedRows(QTreeView *view)
{
    // Rows are elements in document order; an element's row keeps its number across a repaint.
    auto opened = std::make_shared<QSet<int>>();
    QObject::connect(view, &QTreeView::expanded, view, [opened](const QModelIndex &i) {
        if (!i.parent().isValid())
            opened->insert(i.row());
    });
    QObject::connect(view, &QTreeView::collapsed, view, [opened](const QModelIndex &i) {
        if (!i.parent().isValid())
            opened->remove(i.row());
    });
    QAbstractItemModel *model = view->model();
    QObject::connect(model, &QAbstractItemModel::modelReset, view, [view, model, opened] {
        const QSet<int> rows = *opened;
        for (const int row : rows) {
            const QModelIndex i = model->index(row, 0);
            if (i.isValid() && model->rowCount(i) > 0)
                view->expand(i);
            else
                opened->remove(row);
        }
    });
}
