#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

// The DXF export dialog: how many pieces each curve is cut into, each written as an arc or a
// line. The value is kept while the program runs, never stored.
class TDXFExportForm : public QDialog
{
    Q_OBJECT
public:
    explicit TDXFExportForm(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QSpinBox *DivideEd = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *OKBtn = nullptr; // the only way to an Accepted result

    // Pieces per curve as the field holds it.
    int pieces() const;

protected:
    void showEvent(QShowEvent *event) override;
};
