#pragma once

#include "core/geometry.h"
#include "core/scalecheck.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

class Document;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class RealSpinField;

// A distance of the document offered as a line over a known length.
struct CandidateLine {
    int element = 0;
    ReferenceLine line;
    QString text; // what the choice box shows
};

// The plain distances of doc (no inclination), last drawn first, with the zoom each was drawn at.
QList<CandidateLine> candidateLines(Document &doc);

// "Maßstab prüfen...": a distance drawn over a second known length, its real length, and what
// it says about the current scale; the user keeps the scale, takes this line's, or the mean.
class ScaleCheckForm : public QDialog
{
    Q_OBJECT
public:
    enum Choice { Cancelled, Keep, UseNew, UseMean };

    explicit ScaleCheckForm(QWidget *parent = nullptr);

    // Fills the choice of lines, the list of earlier checks and the figures for scale in unit.
    void prepare(const QList<CandidateLine> &lines, const std::vector<ReferenceLine> &earlier, const Scale &scale,
                 const QString &unit);
    Choice choice() const { return chosen; }
    // The line as checked: the chosen distance with the real length entered.
    std::optional<ReferenceLine> checkedLine() const;

    QComboBox *lineBox = nullptr;
    RealSpinField *realLengthField = nullptr;
    QLabel *valueLabel = nullptr;
    QLabel *deviationLabel = nullptr;
    QLabel *aloneLabel = nullptr;
    QLabel *warningLabel = nullptr;
    QTreeWidget *checkList = nullptr;
    QPushButton *keepButton = nullptr;
    QPushButton *newButton = nullptr;
    QPushButton *meanButton = nullptr;

private:
    void refresh();
    void finish(Choice c);

    QList<CandidateLine> candidates;
    Scale current;
    QString unit;
    Choice chosen = Cancelled;
};

struct ScaleCheckOutcome {
    Scale scale;          // the scale to use from now on
    ReferenceLine check;  // to add to the list of checks
};

// Shows the dialog modally; none when it was cancelled or no line could be checked.
std::optional<ScaleCheckOutcome> runScaleCheck(ScaleCheckForm &form, Document &doc,
                                               const std::vector<ReferenceLine> &earlier, const Scale &scale,
                                               const QString &unit);
