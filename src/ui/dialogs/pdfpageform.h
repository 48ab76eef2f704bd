#pragma once

#include <QDialog>
#include <QSizeF>
#include <QString>

class PdfPlan;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QListWidget;
class QSpinBox;

// Choosing the page of a PDF plan and the resolution to render it at. The pages are listed with
// small pictures, rendered only when they scroll into view, and their paper size; the picture
// size that the resolution gives is shown as the user types, and a size beyond the program's
// picture limits cannot be confirmed.
class TPdfSeiteForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPdfSeiteForm(QWidget *parent = nullptr);

    QListWidget *Seiten = nullptr;
    QLabel *Papier = nullptr;
    QLabel *AuflosungLabel = nullptr;
    QSpinBox *DpiEd = nullptr;
    QLabel *Groesse = nullptr;
    QDialogButtonBox *Buttons = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Shows the pages of plan; on OK page (from 0) and dpi receive the choice.
    bool ask(const PdfPlan &plan, int &page, double &dpi);

private:
    void showChoice();
    void renderVisibleThumbnails();

    const PdfPlan *plan = nullptr;
};

// "A3 quer, 420 × 297 mm" for a page size in points, translated.
QString paperText(const QSizeF &points);
