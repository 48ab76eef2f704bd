#pragma once

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;

// The scale from the picture's resolution and the plan's ratio: "1:100" and the unit the
// lengths are to come out in.
class TPlanmassstabForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPlanmassstabForm(QWidget *parent = nullptr);

    QLabel *Aufloesung = nullptr;
    QLabel *VerhaeltnisLabel = nullptr;
    QComboBox *VerhaeltnisEd = nullptr; // any 1:n may be typed
    QLabel *EinheitLabel = nullptr;
    QComboBox *EinheitEd = nullptr;
    QLabel *Hinweis = nullptr;
    QDialogButtonBox *Buttons = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Shows the resolution (dots per inch) and asks; on OK ratio and unit receive the answer.
    bool ask(double dotsPerInch, double &ratio, QString &unit);

private:
    void check();
};
