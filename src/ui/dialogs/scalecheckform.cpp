#include "ui/dialogs/scalecheckform.h"

#include "core/elements.h"
#include "core/numberformat.h"
#include "core/translate.h"
#include "ui/mainwindow/namedwidget.h"
#include "ui/widgets/numberfield.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int FigureDecimals = 4;

} // namespace

QList<CandidateLine> candidateLines(Document &doc)
{
    QList<CandidateLine> lines;
    for (int i = doc.count() - 1; i >= 0; --i) {
        const Telemente &e = *doc.element(i);
        if (e.typ != TypDistance || e.x4 != 0.0)
            continue;
        CandidateLine c;
        c.element = i;
        c.line = ReferenceLine{{e.x1, e.y1}, {e.x2, e.y2}, 0.0, doc.placementZoom(i)};
        const QString name = Document::name(e);
        c.text = Translate(QStringLiteral("Abstand %1: %2 Pixel")).arg(i + 1).arg(F(c.line.pixelLength(), 2));
        if (!name.isEmpty())
            c.text += QStringLiteral(" (") + name + QLatin1Char(')');
        lines.append(c);
    }
    return lines;
}

ScaleCheckForm::ScaleCheckForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScaleCheckForm"));
    setWindowTitle(QStringLiteral("Maßstab prüfen"));
    setSizeGripEnabled(true);

    lineBox = named(new QComboBox(this), "lineBox");
    realLengthField = named(new RealSpinField(this), "realLengthField");
    realLengthField->setDecimals(FigureDecimals);
    valueLabel = namedLabel(this, "valueLabel", QString());
    deviationLabel = namedLabel(this, "deviationLabel", QString());
    aloneLabel = namedLabel(this, "aloneLabel", QString());
    warningLabel = namedLabel(this, "warningLabel", QString());
    warningLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    checkList = named(new QTreeWidget(this), "checkList");
    checkList->setRootIsDecorated(false);
    checkList->setHeaderLabels({QStringLiteral("Pixel"), QStringLiteral("Sollwert"), QStringLiteral("Nach Maßstab"),
                                QStringLiteral("Abweichung %")});
    keepButton = namedButton(this, "keepButton", QStringLiteral("Maßstab behalten"));
    newButton = namedButton(this, "newButton", QStringLiteral("Neuen Maßstab verwenden"));
    meanButton = namedButton(this, "meanButton", QStringLiteral("Mittelwert verwenden"));
    QPushButton *cancel = namedButton(this, "cancelButton", QStringLiteral("Abbrechen"));

    auto *fields = new QGridLayout;
    fields->addWidget(namedLabel(this, "lineLabel", QStringLiteral("Linie über der bekannten Länge:")), 0, 0);
    fields->addWidget(lineBox, 0, 1);
    fields->addWidget(namedLabel(this, "realLengthLabel", QStringLiteral("Wirkliche Länge:")), 1, 0);
    fields->addWidget(realLengthField, 1, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(keepButton);
    buttons->addWidget(newButton);
    buttons->addWidget(meanButton);
    buttons->addStretch(1);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(valueLabel);
    layout->addWidget(deviationLabel);
    layout->addWidget(aloneLabel);
    layout->addWidget(warningLabel);
    layout->addWidget(namedLabel(this, "checkListLabel", QStringLiteral("Bisherige Prüfungen:")));
    layout->addWidget(checkList, 1);
    layout->addLayout(buttons);

    connect(lineBox, &QComboBox::currentIndexChanged, this, &ScaleCheckForm::refresh);
    connect(realLengthField, &RealSpinField::valueChanged, this, &ScaleCheckForm::refresh);
    connect(keepButton, &QPushButton::clicked, this, [this] { finish(Keep); });
    connect(newButton, &QPushButton::clicked, this, [this] { finish(UseNew); });
    connect(meanButton, &QPushButton::clicked, this, [this] { finish(UseMean); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ScaleCheckForm::prepare(const QList<CandidateLine> &lines, const std::vector<ReferenceLine> &earlier,
                             const Scale &scale, const QString &unit)
{
    candidates = lines;
    current = scale;
    this->unit = unit;
    chosen = Cancelled;
    const QSignalBlocker blocker(lineBox);
    lineBox->clear();
    for (const CandidateLine &c : lines)
        lineBox->addItem(c.text);
    checkList->clear();
    for (const ReferenceLine &line : earlier) {
        const std::optional<ScaleCheckFigures> f = checkFigures(line, scale);
        if (!f)
            continue;
        checkList->addTopLevelItem(new QTreeWidgetItem(
            QStringList{F(line.pixelLength(), 2), F(line.realLength, FigureDecimals) + QLatin1Char(' ') + unit,
                        F(f->valueByScale, FigureDecimals) + QLatin1Char(' ') + unit, F(f->deviationPercent, 2)}));
    }
    refresh();
}

std::optional<ReferenceLine> ScaleCheckForm::checkedLine() const
{
    const int i = lineBox->currentIndex();
    if (i < 0 || i >= candidates.size())
        return std::nullopt;
    ReferenceLine line = candidates.at(i).line;
    line.realLength = realLengthField->value();
    if (!checkFigures(line, current))
        return std::nullopt;
    return line;
}

void ScaleCheckForm::refresh()
{
    const std::optional<ReferenceLine> line = checkedLine();
    const std::optional<ScaleCheckFigures> checked = line ? checkFigures(*line, current) : std::nullopt;
    for (QPushButton *b : {keepButton, newButton, meanButton})
        b->setEnabled(checked.has_value());
    if (!checked) {
        valueLabel->setText(candidates.isEmpty()
                                ? Translate(QStringLiteral("Zeichnen Sie zuerst einen Abstand über eine bekannte Länge."))
                                : Translate(QStringLiteral("Geben Sie die wirkliche Länge der Linie ein.")));
        deviationLabel->clear();
        aloneLabel->clear();
        warningLabel->clear();
        return;
    }
    // A copy: the optimiser cannot always see that the optional is engaged here.
    const ScaleCheckFigures f = checked.value_or(ScaleCheckFigures{});
    valueLabel->setText(Translate(QStringLiteral("Nach dem aktuellen Maßstab: %1 %2"))
                            .arg(F(f.valueByScale, FigureDecimals), unit));
    deviationLabel->setText(Translate(QStringLiteral("Abweichung: %1 %")).arg(F(f.deviationPercent, 2)));
    aloneLabel->setText(Translate(QStringLiteral("Maßstab aus dieser Linie allein: 1 Pixel = %1 %2"))
                            .arg(F(f.factorAlone, 8), unit));
    warningLabel->setText(std::fabs(f.deviationPercent) > ScaleCheckWarningPercent
                              ? Translate(QStringLiteral("Achtung: Die Abweichung ist größer als 1 %."))
                              : QString());
}

void ScaleCheckForm::finish(Choice c)
{
    chosen = c;
    accept();
}

std::optional<ScaleCheckOutcome> runScaleCheck(ScaleCheckForm &form, Document &doc,
                                               const std::vector<ReferenceLine> &earlier, const Scale &scale,
                                               const QString &unit)
{
    form.prepare(candidateLines(doc), earlier, scale, unit);
    if (form.exec() != QDialog::Accepted || form.choice() == ScaleCheckForm::Cancelled)
        return std::nullopt;
    const std::optional<ReferenceLine> line = form.checkedLine();
    if (!line)
        return std::nullopt;
    ScaleCheckOutcome out{scale, *line};
    if (form.choice() == ScaleCheckForm::UseNew)
        out.scale = scaleFromCheck(*line);
    else if (form.choice() == ScaleCheckForm::UseMean)
        out.scale = meanScale(scale, *line);
    return out;
}
