#pragma once

#include <QAbstractSpinBox>

// A floating-point spin field without range limits. It shows a value set into it as
// F(value, decimals) and reads its value back from the text it shows, so the value handed out
// is always the rounded number the user sees: 123.456789 with 4 decimals reads as 123.4568.
// Numbers are written and read with "." whatever the locale; a text that is not a number
// (an emptied field, a lone "-") reads as 0.
class RealSpinField : public QAbstractSpinBox
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals)
    Q_PROPERTY(double singleStep READ singleStep WRITE setSingleStep)

public:
    explicit RealSpinField(QWidget *parent = nullptr);

    double value() const;
    void setValue(double value);

    // The number of decimals shown; F clamps it to 0..18. Changing it rewrites the shown value.
    int decimals() const { return places; }
    void setDecimals(int decimals);

    double singleStep() const { return step; }
    void setSingleStep(double value) { step = value; }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    StepEnabled stepEnabled() const override;

private:
    int places = 2;
    double step = 1.0;
};
