#pragma once

#include "core/geometry.h"
#include "core/scalecheck.h"
#include "ui/dialogs/scalecheckform.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class Document;
class QComboBox;
class QLabel;
class QPushButton;
class RealSpinField;

// "Maßstab X/Y getrennt...": two distances of known length, one near horizontal and one near
// vertical, give a scale for each axis of the picture.
class AxisScaleForm : public QDialog
{
    Q_OBJECT
public:
    explicit AxisScaleForm(QWidget *parent = nullptr);

    // Fills both choices from lines; the first choice starts on the flattest line, the second on
    // the steepest.
    void prepare(const QList<CandidateLine> &lines, const QString &unit);
    // Both lines with their real lengths, when they give a scale.
    std::optional<std::array<ReferenceLine, 2>> chosenLines() const;

    QComboBox *xLineBox = nullptr;
    QComboBox *yLineBox = nullptr;
    RealSpinField *xLengthField = nullptr;
    RealSpinField *yLengthField = nullptr;
    QLabel *resultLabel = nullptr;
    QPushButton *okButton = nullptr;

private:
    std::optional<ReferenceLine> lineOf(const QComboBox *box, const RealSpinField *field) const;
    void refresh();

    QList<CandidateLine> candidates;
    QString unit;
};

struct AxisScaleOutcome {
    Scale scale;
    std::array<ReferenceLine, 2> lines;
};

// Shows the dialog modally; none when it was cancelled.
std::optional<AxisScaleOutcome> runAxisScale(AxisScaleForm &form, Document &doc, const QString &unit);

// "X: 1 Pixel = 0.0200 m, Y: 1 Pixel = 0.0208 m, Y/X = 1.0400" for a scale with separate axes.
QString axisScaleText(const Scale &scale, const QString &unit);
