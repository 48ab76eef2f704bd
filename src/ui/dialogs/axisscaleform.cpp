#include "ui/dialogs/axisscaleform.h"

#include "core/numberformat.h"
#include "core/translate.h"
#include "ui/mainwindow/namedwidget.h"
#include "ui/widgets/numberfield.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// How far a line leans from the horizontal, 0 (flat) to 1 (upright).
double steepness(const ReferenceLine &line)
{
    const double length = line.pixelLength();
    return length > 0 ? std::fabs(line.b.y - line.a.y) / length : 0.0;
}

} // namespace

QString axisScaleText(const Scale &scale, const QString &unit)
{
    const double fx = scale.xFactor();
    const double fy = scale.yFactor();
    return Translate(QStringLiteral("X: 1 Pixel = %1 %3, Y: 1 Pixel = %2 %3, Y/X = %4"))
        .arg(F(fx, 8), F(fy, 8), unit, F(fx != 0 ? fy / fx : 0.0, 6));
}

AxisScaleForm::AxisScaleForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AxisScaleForm"));
    setWindowTitle(QStringLiteral("Maßstab X/Y getrennt"));
    setSizeGripEnabled(true);

    xLineBox = named(new QComboBox(this), "xLineBox");
    yLineBox = named(new QComboBox(this), "yLineBox");
    xLengthField = named(new RealSpinField(this), "xLengthField");
    yLengthField = named(new RealSpinField(this), "yLengthField");
    xLengthField->setDecimals(4);
    yLengthField->setDecimals(4);
    resultLabel = namedLabel(this, "resultLabel", QString());
    resultLabel->setWordWrap(true);
    okButton = namedButton(this, "okButton", QStringLiteral("OK"));
    okButton->setDefault(true);
    QPushButton *cancel = namedButton(this, "cancelButton", QStringLiteral("Abbrechen"));

    auto *fields = new QGridLayout;
    fields->addWidget(namedLabel(this, "xLineLabel", QStringLiteral("Linie etwa waagerecht:")), 0, 0);
    fields->addWidget(xLineBox, 0, 1);
    fields->addWidget(namedLabel(this, "xLengthLabel", QStringLiteral("Wirkliche Länge:")), 1, 0);
    fields->addWidget(xLengthField, 1, 1);
    fields->addWidget(namedLabel(this, "yLineLabel", QStringLiteral("Linie etwa senkrecht:")), 2, 0);
    fields->addWidget(yLineBox, 2, 1);
    fields->addWidget(namedLabel(this, "yLengthLabel", QStringLiteral("Wirkliche Länge:")), 3, 0);
    fields->addWidget(yLengthField, 3, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(resultLabel);
    layout->addStretch(1);
    layout->addLayout(buttons);

    for (QComboBox *box : {xLineBox, yLineBox})
        connect(box, &QComboBox::currentIndexChanged, this, &AxisScaleForm::refresh);
    for (RealSpinField *field : {xLengthField, yLengthField})
        connect(field, &RealSpinField::valueChanged, this, &AxisScaleForm::refresh);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void AxisScaleForm::prepare(const QList<CandidateLine> &lines, const QString &unit)
{
    candidates = lines;
    this->unit = unit;
    int flattest = -1;
    int steepest = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const double s = steepness(lines.at(i).line);
        if (flattest < 0 || s < steepness(lines.at(flattest).line))
            flattest = i;
        if (steepest < 0 || s > steepness(lines.at(steepest).line))
            steepest = i;
    }
    for (QComboBox *box : {xLineBox, yLineBox}) {
        const QSignalBlocker blocker(box);
        box->clear();
        for (const CandidateLine &c : lines)
            box->addItem(c.text);
    }
    {
        const QSignalBlocker bx(xLineBox);
        const QSignalBlocker by(yLineBox);
        xLineBox->setCurrentIndex(flattest);
        yLineBox->setCurrentIndex(steepest);
    }
    refresh();
}

std::optional<ReferenceLine> AxisScaleForm::lineOf(const QComboBox *box, const RealSpinField *field) const
{
    const int i = box->currentIndex();
    if (i < 0 || i >= candidates.size())
        return std::nullopt;
    ReferenceLine line = candidates.at(i).line;
    line.realLength = field->value();
    return line;
}

std::optional<std::array<ReferenceLine, 2>> AxisScaleForm::chosenLines() const
{
    const std::optional<ReferenceLine> x = lineOf(xLineBox, xLengthField);
    const std::optional<ReferenceLine> y = lineOf(yLineBox, yLengthField);
    if (!x || !y || xLineBox->currentIndex() == yLineBox->currentIndex() || !solveAxisFactors(*x, *y))
        return std::nullopt;
    return std::array<ReferenceLine, 2>{*x, *y};
}

void AxisScaleForm::refresh()
{
    const std::optional<std::array<ReferenceLine, 2>> lines = chosenLines();
    okButton->setEnabled(lines.has_value());
    if (candidates.size() < 2) {
        resultLabel->setText(Translate(
            QStringLiteral("Zeichnen Sie zuerst zwei Abstände über bekannte Längen, einen etwa waagerecht und einen etwa senkrecht.")));
        return;
    }
    if (!lines) {
        resultLabel->setText(Translate(QStringLiteral(
            "Aus diesen Linien und Längen ergibt sich kein Maßstab. Wählen Sie zwei verschiedene Linien, die nicht parallel sind, und geben Sie beide Längen ein.")));
        return;
    }
    resultLabel->setText(axisScaleText(*separateScale((*lines)[0], (*lines)[1]), unit));
}

std::optional<AxisScaleOutcome> runAxisScale(AxisScaleForm &form, Document &doc, const QString &unit)
{
    form.prepare(candidateLines(doc), unit);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::optional<std::array<ReferenceLine, 2>> lines = form.chosenLines();
    if (!lines)
        return std::nullopt;
    return AxisScaleOutcome{*separateScale((*lines)[0], (*lines)[1]), *lines};
}
