#include "ui/dialogs/pdfpageform.h"

#include "core/numberformat.h"
#include "core/translate.h"
#include "image/pdfpages.h"
#include "ui/mainwindow/namedwidget.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ThumbnailSide = 120;
constexpr int RenderedRole = Qt::UserRole + 1;

QString millimetres(double mm)
{
    return QLocale::c().toString(std::round(mm));
}

} // namespace

QString paperText(const QSizeF &points)
{
    const QSizeF mm = pointsToMm(points);
    const QString size = QStringLiteral("%1 × %2 mm").arg(millimetres(mm.width()), millimetres(mm.height()));
    const PaperFormat format = paperFormat(mm);
    if (format.name.isEmpty())
        return size;
    const QString orientation = format.landscape ? Translate(QStringLiteral("quer")) : Translate(QStringLiteral("hoch"));
    return QStringLiteral("%1 %2, %3").arg(format.name, orientation, size);
}

TPdfSeiteForm::TPdfSeiteForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PdfSeiteForm"));
    setWindowTitle(QStringLiteral("PDF-Seite als Bild öffnen"));

    Seiten = new QListWidget(this);
    Seiten->setObjectName(QStringLiteral("Seiten"));
    Seiten->setViewMode(QListView::IconMode);
    Seiten->setIconSize(QSize(ThumbnailSide, ThumbnailSide));
    Seiten->setResizeMode(QListView::Adjust);
    Seiten->setMovement(QListView::Static);
    Seiten->setUniformItemSizes(true);
    Seiten->setMinimumSize(4 * (ThumbnailSide + 16), 2 * (ThumbnailSide + 40));
    Papier = new QLabel(this);
    Papier->setObjectName(QStringLiteral("Papier"));
    AuflosungLabel = new QLabel(QStringLiteral("Auflösung (dpi):"), this);
    AuflosungLabel->setObjectName(QStringLiteral("AuflosungLabel"));
    DpiEd = new QSpinBox(this);
    DpiEd->setObjectName(QStringLiteral("DpiEd"));
    DpiEd->setRange(static_cast<int>(MinPdfDpi), static_cast<int>(MaxPdfDpi));
    DpiEd->setValue(static_cast<int>(DefaultPdfDpi));
    AuflosungLabel->setBuddy(DpiEd);
    Groesse = new QLabel(this);
    Groesse->setObjectName(QStringLiteral("Groesse"));
    Groesse->setWordWrap(true);
    Buttons = okCancelButtons(this, OkBtn, CancelBtn);

    auto *dpiRow = new QHBoxLayout;
    dpiRow->addWidget(AuflosungLabel);
    dpiRow->addWidget(DpiEd);
    dpiRow->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Seiten, 1);
    layout->addWidget(Papier);
    layout->addLayout(dpiRow);
    layout->addWidget(Groesse);
    layout->addWidget(Buttons);

    connect(Seiten, &QListWidget::currentRowChanged, this, &TPdfSeiteForm::showChoice);
    connect(DpiEd, &QSpinBox::valueChanged, this, &TPdfSeiteForm::showChoice);
    connect(Seiten->verticalScrollBar(), &QScrollBar::valueChanged, this, &TPdfSeiteForm::renderVisibleThumbnails);
    connect(Seiten->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TPdfSeiteForm::renderVisibleThumbnails);
}

bool TPdfSeiteForm::ask(const PdfPlan &pdf, int &page, double &dpi)
{
    plan = &pdf;
    Seiten->clear();
    QPixmap blank(ThumbnailSide, ThumbnailSide);
    blank.fill(Qt::white);
    for (int i = 0; i < pdf.pageCount(); ++i) {
        auto *item = new QListWidgetItem(QIcon(blank), Translate(QStringLiteral("Seite %1")).arg(i + 1), Seiten);
        item->setData(RenderedRole, false);
    }
    Seiten->setCurrentRow(std::clamp(page, 0, pdf.pageCount() - 1));
    DpiEd->setValue(static_cast<int>(std::lround(dpi)));
    showChoice();
    // The list knows which items are in view once it is laid out.
    QTimer::singleShot(0, this, &TPdfSeiteForm::renderVisibleThumbnails);
    const bool accepted = exec() == QDialog::Accepted;
    if (accepted) {
        page = Seiten->currentRow();
        dpi = DpiEd->value();
    }
    // Texts about this file go with it, so that nothing reads them as interface texts later.
    Seiten->clear();
    Papier->clear();
    Groesse->clear();
    plan = nullptr;
    return accepted;
}

void TPdfSeiteForm::showChoice()
{
    QPushButton *ok = OkBtn;
    const int page = Seiten->currentRow();
    if (!plan || page < 0) {
        ok->setEnabled(false);
        return;
    }
    const QSizeF points = plan->pageSizePoints(page);
    Papier->setText(paperText(points));
    const QSize pixels = pdfPictureSize(points, DpiEd->value());
    const std::int64_t bytes = pdfPictureBytes(pixels);
    const PdfProblem problem = pdfPictureProblem(points, DpiEd->value());
    QString text = Translate(QStringLiteral("Bildgröße: %1 × %2 Pixel, %3 MB"))
                       .arg(pixels.width())
                       .arg(pixels.height())
                       .arg(QLocale::c().toString(double(std::max<std::int64_t>(bytes, 0)) / (1 << 20), 'f', 1));
    if (problem != PdfProblem::None)
        text += QLatin1Char('\n') + Translate(pdfProblemText(problem));
    Groesse->setText(text);
    ok->setEnabled(problem == PdfProblem::None);
}

void TPdfSeiteForm::renderVisibleThumbnails()
{
    if (!plan)
        return;
    const QRect visible = Seiten->viewport()->rect();
    for (int i = 0; i < Seiten->count(); ++i) {
        QListWidgetItem *item = Seiten->item(i);
        if (item->data(RenderedRole).toBool() || !Seiten->visualItemRect(item).intersects(visible))
            continue;
        const QImage page = plan->thumbnail(i, ThumbnailSide);
        if (page.isNull())
            continue;
        QPixmap framed(ThumbnailSide, ThumbnailSide);
        framed.fill(Qt::transparent);
        QPainter p(&framed);
        const QPoint at((ThumbnailSide - page.width()) / 2, (ThumbnailSide - page.height()) / 2);
        p.drawImage(at, page);
        p.setPen(Qt::gray);
        p.drawRect(QRect(at, page.size()).adjusted(0, 0, -1, -1));
        p.end();
        item->setIcon(QIcon(framed));
        item->setData(RenderedRole, true);
    }
}
