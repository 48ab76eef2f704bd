#pragma once

#include "core/optionsfile.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class FormStorage;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class RealSpinField;

// The scale dialog: how many pixels correspond to how much of a unit, the unit text, whether the
// scale reference line is shown, and the list of named saved scales.
class TmassstabForm : public QDialog
{
    Q_OBJECT
public:
    explicit TmassstabForm(QWidget *parent = nullptr);
    ~TmassstabForm() override;

    // The 13 units offered by EinheitEd, in their order.
    static QStringList units();

    QLabel *Label1 = nullptr; // "Pixel"
    QLabel *Label2 = nullptr; // "Entsprechen:"
    QLabel *Label3 = nullptr; // "Name zum Speichern des Maßstabs:"
    QLabel *Label4 = nullptr; // "Anzahl der Nachkommastellen:"
    RealSpinField *PixelEd = nullptr;
    RealSpinField *entsprichted = nullptr;
    QComboBox *EinheitEd = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QLineEdit *NameEd = nullptr;
    QSpinBox *KommaEd = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK
    QPushButton *BitBtn2 = nullptr; // save
    QPushButton *BitBtn3 = nullptr; // recall
    QPushButton *BitBtn4 = nullptr; // delete
    QTreeWidget *ListView1 = nullptr;

    // The saved-scale rows, in list order, as the options file keeps them.
    QList<SavedScale> savedScales() const;
    void setSavedScales(const QList<SavedScale> &scales);

    FormStorage &storage() { return *FormStorage1; }

public slots:
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void KommaEdChange();

private:
    void buildLayout();
    void showSelectFirstMessage();

    std::unique_ptr<FormStorage> FormStorage1;
};

// The fields the numeric scale command presets and takes back.
struct ScaleDialogValues {
    double pixelLength = 1.0;
    double realLength = 1.0;
    QString unit;
    bool showScale = true; // the check mark of Anzeigen1
};

// The dialog part of the numeric scale command: presets the fields, shows the dialog modally,
// lets writeOptions write the options file with the saved-scale list as it now stands, and
// returns the fields. However the dialog was closed, its fields apply; a side of exactly 0
// comes back as 1.0.
ScaleDialogValues runScaleDialog(TmassstabForm &form, const ScaleDialogValues &current,
                                 const std::function<void(const QList<SavedScale> &)> &writeOptions);
