#include "ui/widgets/exactspinbox.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

double ExactSpinBox::value() const
{
    const double shown = QDoubleSpinBox::value();
    return holdsExact && shown == shownForExact ? exact : shown;
}

void ExactSpinBox::setValue(double v)
{
    const double before = value();
    {
        const QSignalBlocker quiet(this);
        QDoubleSpinBox::setValue(v);
    }
    const double shown = QDoubleSpinBox::value();
    holdsExact = std::isfinite(v);
    exact = holdsExact ? std::clamp(v, minimum(), maximum()) : shown;
    shownForExact = shown;
    if (value() != before)
        emit valueChanged(value());
}
