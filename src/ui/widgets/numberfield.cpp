#include "ui/widgets/numberfield.h"

#include "core/numberformat.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <cmath>

namespace {

double numberOf(const QString &text)
{
    double v = 0.0;
    return parseNumber(text, v) ? v : 0.0;
}

} // namespace

RealSpinField::RealSpinField(QWidget *parent) : QAbstractSpinBox(parent)
{
    setLocale(QLocale::c());
    setAlignment(Qt::AlignRight);
    lineEdit()->setText(F(0.0, places));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        emit valueChanged(numberOf(text));
    });
}

double RealSpinField::value() const
{
    return numberOf(lineEdit()->text());
}

void RealSpinField::setValue(double value)
{
    // "NaN" or "INF" in the field would read back as 0 anyway; show what will be read.
    if (!std::isfinite(value))
        value = 0.0;
    lineEdit()->setText(F(value, places));
}

void RealSpinField::setDecimals(int decimals)
{
    const double shown = value();
    places = decimals;
    setValue(shown);
}

void RealSpinField::stepBy(int steps)
{
    setValue(value() + steps * step);
    selectAll();
}

QAbstractSpinBox::StepEnabled RealSpinField::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State RealSpinField::validate(QString &input, int &) const
{
    static const QRegularExpression numberForm(QStringLiteral(R"(^\s*[+-]?\d*\.?\d*([eE][+-]?\d*)?\s*$)"));
    if (!numberForm.match(input).hasMatch())
        return QValidator::Invalid;
    double v = 0.0;
    return parseNumber(input, v) ? QValidator::Acceptable : QValidator::Intermediate;
}

void RealSpinField::fixup(QString &input) const
{
    input = F(numberOf(input), places);
}

QSize RealSpinField::sizeHint() const
{
    ensurePolished();
    // Room for a seven-digit value with its decimals, as a plain spin box reserves for its range.
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.horizontalAdvance(F(-1234567.0, places) + QLatin1Char(' '));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize contents(textWidth + 2, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

QSize RealSpinField::minimumSizeHint() const
{
    return sizeHint();
}
