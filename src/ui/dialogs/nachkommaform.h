#pragma once

#include <QDialog>

#include <memory>

class FormStorage;
class QLabel;
class QPushButton;
class QSpinBox;

// The decimal places dialog: places for distances and for everything else. Both fields are
// stored whenever the dialog closes, however it was closed.
class TNachkommaForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNachkommaForm(QWidget *parent = nullptr);
    ~TNachkommaForm() override;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QSpinBox *NachEd = nullptr;
    QSpinBox *Nach2Ed = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK, the only way to an Accepted result

    FormStorage &storage() { return *FormStorage1; }

private:
    std::unique_ptr<FormStorage> FormStorage1;
};

// The decimals command's dialog part: shows the dialog modally and, only when it closes with
// OK, takes NachEd into lengthDecimals and Nach2Ed into areaDecimals. Returns whether it did.
bool askDecimalPlaces(TNachkommaForm &form, int &lengthDecimals, int &areaDecimals);
