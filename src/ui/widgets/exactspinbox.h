#pragma once

#include <QDoubleSpinBox>

// A number field that shows its value with few decimals but hands out the value set into it
// exactly, until the user changes what it shows: an arrow length of 3000/57 shows as 52.63 and
// stays 3000/57 in the drawing, the project and the stored settings. A value set by program
// notifies with the exact value.
class ExactSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue USER true)

public:
    using QDoubleSpinBox::QDoubleSpinBox;

    double value() const;
    void setValue(double value);

private:
    double exact = 0;
    // What the field showed when exact was set; any other shown value is the user's.
    double shownForExact = 0;
    bool holdsExact = false;
};
