#pragma once

#include "core/dib.h"
#include "core/picture.h"
#include "render/printlayout.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <memory>

class FormStorage;
class PrintPreviewBox;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The print dialog "Bild drucken...": a preview of the printer's page with the picture on it, how
// large the picture is printed (the whole page, or percentages of the page's width and height),
// whether its proportions are kept and whether it is centred, and the printer set-up. The two
// percentage fields follow each other while the proportions are kept; followingPercent stops the change
// one rule makes from starting the other.
class TPrintForm : public QDialog
{
    Q_OBJECT
public:
    // Gives the printer the page is read from and the dialog's set-up button changes, when the
    // dialog first needs it; the printer must outlive the dialog.
    using PrinterSource = std::function<QPrinter *()>;

    explicit TPrintForm(PrinterSource printer, QWidget *parent = nullptr);
    ~TPrintForm() override;

    QLabel *Label1 = nullptr; // "Vorschau:"
    QFrame *Panel1 = nullptr; // the lowered panel around the preview
    PrintPreviewBox *PrintPaintBox = nullptr;
    QGroupBox *GroupBox1 = nullptr; // "Druckgröße"
    QRadioButton *UseFullCheck = nullptr;
    QRadioButton *UserdefCheck = nullptr;
    QLabel *Label2 = nullptr; // "Breite in %:"
    QSpinBox *BreitEdit = nullptr;
    QLabel *Label3 = nullptr; // "Höhe in %:"
    QSpinBox *HochEdit = nullptr;
    QGroupBox *GroupBox2 = nullptr; // "Druckoptionen"
    QCheckBox *SverhCheck = nullptr;
    QCheckBox *ZentrCheck = nullptr;
    QPushButton *PrintSetupBtn = nullptr;
    QPushButton *OkBitBtn1 = nullptr;
    QPushButton *CancelBitBtn2 = nullptr;

    // Takes the picture to print (di) over, leaving picture empty, with the size in image pixels
    // the choices apply to (the picture record may be a smaller rendering of it); then repaints
    // the preview.
    void setPicture(dib &picture, QSize size);
    const dib &picture() const { return di.get(); }
    QSize pictureSize() const { return imgSize; }

    // The choices as they stand.
    PrintSizeChoice choice() const;
    // The printer's printable page in printer pixels, as the printer reports it now.
    QSize page() const;

    FormStorage &storage() { return *FormStorage1; }

public slots:
    // Repaints the preview, then applies the width rule.
    void PrintPaintBoxPaint();
    void UserdefCheckClick();
    // The width rule: with the proportions kept, the height percentage follows the width.
    void BreitEditChange();
    // The height rule: the width percentage follows the height.
    void HochEditChange();
    void PrintSetupBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void wire();
    void centreOnScreen();

    PrinterSource printer;
    Picture di;
    QSize imgSize;
    bool followingPercent = false;
    std::unique_ptr<FormStorage> FormStorage1;
};
