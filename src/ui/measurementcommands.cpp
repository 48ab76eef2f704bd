#include "ui/measurementcommands.h"

#include "core/measurementchunks.h"
#include "core/uncertainty.h"
#include "ui/axisscaleform.h"
#include "ui/scalecheckform.h"

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

} // namespace

MeasurementCommands::MeasurementCommands(QWidget *window, QMenu *scaleMenu, QMenu *settingsMenu, Host h)
    : QObject(window), window(window), host(std::move(h))
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

    connect(checkScaleItem, &QAction::triggered, this, &MeasurementCommands::checkScale);
    connect(axisScaleItem, &QAction::triggered, this, &MeasurementCommands::separateAxes);
    for (QAction *a : {segmentsItem, uncertaintyItem, labelUncertaintyItem, fitDecimalsItem})
        connect(a, &QAction::toggled, this, [this] { host.repaint(); });
}

ResultsOptions MeasurementCommands::resultsOptions(Document &doc, const Scale &scale) const
{
    ResultsOptions o;
    o.scale = scale;
    o.segments = segmentsItem->isChecked();
    o.uncertainty = uncertaintyItem->isChecked();
    o.fitDecimals = fitDecimalsItem->isChecked();
    if (o.uncertainty || o.fitDecimals) {
        ScaleBasis basis;
        basis.axes = scale.separateAxes ? axes : std::nullopt;
        if (!scale.separateAxes)
            basis.reference = referenceLineOf(doc, scale);
        basis.checks = scaleChecks;
        o.covariance = scaleCovariance(scale, basis);
    }
    return o;
}

NumberSettings MeasurementCommands::labelNumbers(NumberSettings numbers, Document &doc, const Scale &scale) const
{
    numbers.withUncertainty = labelUncertaintyItem->isChecked();
    numbers.fitDecimals = fitDecimalsItem->isChecked();
    if (numbers.withUncertainty || numbers.fitDecimals)
        numbers.scaleCovariance = resultsOptions(doc, scale).covariance;
    return numbers;
}

QString MeasurementCommands::scaleText(const Scale &scale, const QString &unit) const
{
    return scale.separateAxes ? axisScaleText(scale, unit) : QString();
}

void MeasurementCommands::store(ProjectExtension &extension, const Document &doc) const
{
    setAxisLines(extension, host.scale().separateAxes ? axes : std::nullopt);
    setScaleChecks(extension, scaleChecks);
    storePlacementZooms(extension, doc);
}

void MeasurementCommands::apply(const ProjectExtension &extension, Document &doc, Scale &scale)
{
    axes = ::axisLines(extension);
    scaleChecks = ::scaleChecks(extension);
    applyPlacementZooms(extension, doc);
    if (axes)
        scale = withAxisScale(extension, scale);
}

void MeasurementCommands::scaleReplaced()
{
    axes.reset();
    scaleChecks.clear();
}

void MeasurementCommands::checkScale()
{
    if (!checkForm)
        checkForm = new ScaleCheckForm(window);
    const Scale before = host.scale();
    const std::optional<ScaleCheckOutcome> out =
        runScaleCheck(*checkForm, host.document(), scaleChecks, before, host.unit());
    if (!out)
        return;
    scaleChecks.push_back(out->check);
    // A new single scale from the check line ends separate axes; the mean keeps them.
    if (!out->scale.separateAxes)
        axes.reset();
    host.setScale(out->scale);
}

void MeasurementCommands::separateAxes()
{
    if (!axisForm)
        axisForm = new AxisScaleForm(window);
    const std::optional<AxisScaleOutcome> out = runAxisScale(*axisForm, host.document(), host.unit());
    if (!out)
        return;
    axes = out->lines;
    scaleChecks.clear();
    host.setScale(out->scale);
}

void MeasurementCommands::showScale(QStatusBar *bar, const Scale &scale, const QString &unit)
{
    if (!scaleLabel) {
        scaleLabel = new QLabel(bar);
        scaleLabel->setObjectName(QStringLiteral("scaleLabel"));
        bar->addPermanentWidget(scaleLabel);
    }
    scaleLabel->setText(scaleText(scale, unit));
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
