#include "ui/commands/resultsselection.h"

#include "core/elements.h"
#include "core/resultsmodel.h"
#include "tools/pointertool.h"
#include "ui/commands/viewcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QItemSelectionModel>
#include <QRectF>
#include <QTimer>
#include <QTreeView>

namespace {

// The box of an element's points in picture pixels: its vertices when it has any, else the two
// corners or ends it is made of.
QRectF elementBox(Document &doc, int position)
{
    const Telemente &e = *doc.element(position);
    const int vertices = Document::vertexCount(e);
    QRectF box;
    auto add = [&box](double x, double y) {
        box = box.isNull() ? QRectF(x, y, 0, 0) : box.united(QRectF(x, y, 0, 0));
    };
    if (vertices > 0) {
        for (int i = 0; i < vertices; ++i) {
            const Tvertex v = *Document::vertex(e.vert, i);
            add(v.x, v.y);
        }
    } else {
        add(e.x1, e.y1);
        add(e.x2, e.y2);
    }
    return box;
}

} // namespace

ResultsSelection::ResultsSelection(TMainForm &mainForm, ViewCommands &viewCommands)
    : QObject(&mainForm), form(mainForm), view(viewCommands)
{
    setObjectName(QStringLiteral("ResultsSelection"));
    QTreeView *list = form.ListView1;
    // The list is still handling the press when it reports it; the repaint that rebuilds its rows
    // waits until it is done. The element is taken now: the rows may change meanwhile.
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = form.ListView1->selectionModel()->selectedRows();
        if (following || rows.isEmpty())
            return;
        const int position = form.results->elementOfRow(rows.constFirst().row());
        QTimer::singleShot(0, this, [this, position] { elementChosen(position); });
    });
    connect(list, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        const int position = form.results->elementOfRow(index.row());
        QTimer::singleShot(0, this, [this, position] { renameElement(position); });
    });
    // Every repaint rebuilds the rows, which drops the list's selection.
    connect(form.results, &ResultsModel::modelReset, this, &ResultsSelection::showSelectedElements);
}

bool ResultsSelection::selectOnly(int position)
{
    Document &doc = form.workspace().document();
    if (position < 0 || position >= doc.count())
        return false;
    unselectall(doc);
    doc.element(position)->selected = true;
    return true;
}

void ResultsSelection::elementChosen(int position)
{
    if (!selectOnly(position))
        return;
    form.PaintBox1Paint();
    view.scrollIntoView(elementBox(form.workspace().document(), position), form.PaintBox1->size());
}

void ResultsSelection::renameElement(int position)
{
    if (!selectOnly(position))
        return;
    form.PaintBox1Paint();
    form.Beschreibungbearbeiten1Click();
}

void ResultsSelection::showSelectedElements()
{
    QList<int> rows;
    Document &doc = form.workspace().document();
    for (int i = 0; i < doc.count(); ++i)
        if (doc.element(i)->selected)
            if (const int row = form.results->rowOfElement(i); row >= 0)
                rows.append(row);

    following = true;
    QItemSelectionModel *selection = form.ListView1->selectionModel();
    QItemSelection chosen;
    for (int row : rows)
        chosen.select(form.results->index(row, 0),
                      form.results->index(row, ResultsModel::ColumnCount - 1));
    selection->select(chosen, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) {
        selection->setCurrentIndex(form.results->index(rows.constFirst(), 0), QItemSelectionModel::NoUpdate);
        if (rows != shownRows)
            form.ListView1->scrollTo(form.results->index(rows.constFirst(), 0));
    }
    following = false;
    shownRows = rows;
}
