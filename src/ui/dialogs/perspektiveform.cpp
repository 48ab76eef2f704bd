#include "ui/dialogs/perspektiveform.h"

#include "core/translate.h"
#include "ui/mainwindow/namedwidget.h"
#include "ui/widgets/numberfield.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// How near to a corner, in screen pixels, a press takes it for dragging.
constexpr double GrabDistance = 10.0;
constexpr int LoupeSide = 140;
constexpr double LoupeZoom = 4.0;

RealSpinField *sizeField(QWidget *parent, const char *name)
{
    auto *field = new RealSpinField(parent);
    field->setObjectName(QLatin1String(name));
    field->setDecimals(3);
    return field;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

CornerView::CornerView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(480, 360);
    setMouseTracking(false);
    setCursor(Qt::CrossCursor);
}

void CornerView::setPicture(const QImage &image, const QSize &size)
{
    preview = image;
    pictureSize = size;
    points.clear();
    dragged = -1;
    QWidget::update();
}

void CornerView::clearCorners()
{
    points.clear();
    QWidget::update();
    emit cornersChanged();
}

QRectF CornerView::pictureRect() const
{
    if (pictureSize.isEmpty())
        return QRectF();
    const double fit = std::min(width() / double(pictureSize.width()), height() / double(pictureSize.height()));
    const QSizeF shown = QSizeF(pictureSize) * fit;
    return QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

QPointF CornerView::toPicture(QPointF w) const
{
    const QRectF r = pictureRect();
    if (r.isEmpty())
        return QPointF();
    return QPointF((w.x() - r.left()) / r.width() * pictureSize.width(), (w.y() - r.top()) / r.height() * pictureSize.height());
}

QPointF CornerView::toWidget(QPointF p) const
{
    const QRectF r = pictureRect();
    if (pictureSize.isEmpty())
        return QPointF();
    return QPointF(r.left() + p.x() / pictureSize.width() * r.width(), r.top() + p.y() / pictureSize.height() * r.height());
}

void CornerView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(pictureRect(), preview);
    p.setRenderHint(QPainter::Antialiasing);
    QList<QPointF> shown;
    Quad ordered;
    if (points.size() == 4 && orderCorners(Quad{points[0], points[1], points[2], points[3]}, ordered))
        shown = QList<QPointF>(ordered.begin(), ordered.end());
    else
        shown = points;
    QPolygonF outline;
    for (const QPointF &c : shown)
        outline << toWidget(c);
    if (shown.size() == 4)
        outline << outline.first();
    p.setPen(QPen(Qt::white, 3));
    p.drawPolyline(outline);
    p.setPen(QPen(Qt::red, 1));
    p.drawPolyline(outline);
    for (const QPointF &c : points) {
        const QPointF w = toWidget(c);
        p.setPen(QPen(Qt::red, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(w, 5, 5);
    }
    if (dragged >= 0 && dragged < points.size())
        drawLoupe(p, points[dragged]);
}

// The picture around a corner, magnified, in the view's corner away from it.
void CornerView::drawLoupe(QPainter &p, QPointF at) const
{
    if (preview.isNull())
        return;
    const double toPreview = preview.width() / double(pictureSize.width());
    const double half = LoupeSide / LoupeZoom / 2;
    const QRectF source(at * toPreview - QPointF(half, half), QSizeF(2 * half, 2 * half));
    const QPointF w = toWidget(at);
    const double x = w.x() < width() / 2.0 ? width() - LoupeSide - 4 : 4;
    const QRectF target(x, 4, LoupeSide, LoupeSide);
    p.fillRect(target, Qt::white);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, preview, source);
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(QPointF(target.center().x(), target.top()), QPointF(target.center().x(), target.bottom()));
    p.drawLine(QPointF(target.left(), target.center().y()), QPointF(target.right(), target.center().y()));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(target);
}

void CornerView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || pictureSize.isEmpty())
        return;
    const QPointF at = event->position();
    dragged = -1;
    double nearest = GrabDistance;
    for (int k = 0; k < points.size(); ++k) {
        const double d = QLineF(toWidget(points[k]), at).length();
        if (d <= nearest) {
            nearest = d;
            dragged = k;
        }
    }
    if (dragged < 0 && points.size() < 4) {
        points.append(toPicture(at));
        dragged = static_cast<int>(points.size()) - 1;
        emit cornersChanged();
    }
    QWidget::update();
}

void CornerView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragged < 0)
        return;
    const QPointF p = toPicture(event->position());
    points[dragged] = QPointF(std::clamp(p.x(), 0.0, double(pictureSize.width())),
                              std::clamp(p.y(), 0.0, double(pictureSize.height())));
    QWidget::update();
    emit cornersChanged();
}

void CornerView::mouseReleaseEvent(QMouseEvent *)
{
    dragged = -1;
    QWidget::update();
}

TPerspektiveForm::TPerspektiveForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PerspektiveForm"));
    setWindowTitle(QStringLiteral("Perspektive entzerren"));
    setSizeGripEnabled(true);

    Anleitung = label(this, "Anleitung",
                      QStringLiteral("Klicken Sie die vier Ecken von etwas an, das in Wirklichkeit ein Rechteck ist, in "
                                     "beliebiger Reihenfolge. Die Ecken lassen sich mit der Maus verschieben."));
    Anleitung->setWordWrap(true);
    Ecken = new CornerView(this);
    Ecken->setObjectName(QStringLiteral("Ecken"));
    BreiteLabel = label(this, "BreiteLabel", QStringLiteral("Breite:"));
    BreiteEd = sizeField(this, "BreiteEd");
    HoeheLabel = label(this, "HoeheLabel", QStringLiteral("Höhe:"));
    HoeheEd = sizeField(this, "HoeheEd");
    EinheitLabel = label(this, "EinheitLabel", QStringLiteral("Einheit:"));
    EinheitEd = new QComboBox(this);
    EinheitEd->setObjectName(QStringLiteral("EinheitEd"));
    EinheitEd->setEditable(true);
    EinheitEd->setInsertPolicy(QComboBox::NoInsert);
    DichteLabel = label(this, "DichteLabel", QStringLiteral("Dichte (Pixel je Einheit):"));
    DichteEd = sizeField(this, "DichteEd");
    Ergebnis = label(this, "Ergebnis", QString());
    Ergebnis->setWordWrap(true);
    Buttons = okCancelButtons(this, OkBtn, CancelBtn);

    auto *fields = new QGridLayout;
    fields->addWidget(BreiteLabel, 0, 0);
    fields->addWidget(BreiteEd, 0, 1);
    fields->addWidget(HoeheLabel, 0, 2);
    fields->addWidget(HoeheEd, 0, 3);
    fields->addWidget(EinheitLabel, 0, 4);
    fields->addWidget(EinheitEd, 0, 5);
    fields->addWidget(DichteLabel, 1, 0, 1, 2);
    fields->addWidget(DichteEd, 1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Anleitung);
    layout->addWidget(Ecken, 1);
    layout->addLayout(fields);
    layout->addWidget(Ergebnis);
    layout->addWidget(Buttons);

    connect(Ecken, &CornerView::cornersChanged, this, &TPerspektiveForm::refresh);
    connect(BreiteEd, &RealSpinField::valueChanged, this, &TPerspektiveForm::refresh);
    connect(HoeheEd, &RealSpinField::valueChanged, this, &TPerspektiveForm::refresh);
    connect(DichteEd, &RealSpinField::valueChanged, this, &TPerspektiveForm::densityEdited);
}

TPerspektiveForm::Answer TPerspektiveForm::current() const
{
    Answer a;
    const QList<QPointF> &c = Ecken->corners();
    for (int k = 0; k < 4 && k < c.size(); ++k)
        a.corners[k] = c[k];
    a.width = BreiteEd->value();
    a.height = HoeheEd->value();
    a.unit = EinheitEd->currentText().trimmed();
    a.density = DichteEd->value();
    return a;
}

void TPerspektiveForm::densityEdited()
{
    if (!settingDensity)
        densityChosen = true;
    refresh();
}

void TPerspektiveForm::refresh()
{
    QPushButton *ok = OkBtn;
    ok->setEnabled(false);
    if (Ecken->corners().size() < 4) {
        Ergebnis->setText(Translate(QStringLiteral("Noch %1 Ecken anklicken.")).arg(4 - Ecken->corners().size()));
        return;
    }
    Answer a = current();
    Quad ordered;
    if (!densityChosen && orderCorners(a.corners, ordered)) {
        // Until the user sets a density, it follows the rectangle's present size in pixels.
        const double density = defaultDensity(ordered, a.width, a.height);
        if (density > 0) {
            settingDensity = true;
            DichteEd->setValue(density);
            settingDensity = false;
            a.density = DichteEd->value();
        }
    }
    RectifyPlan plan;
    const RectifyProblem problem = planRectification(pictureSize, a.corners, a.width, a.height, a.density, plan);
    if (problem != RectifyProblem::None) {
        Ergebnis->setText(Translate(rectifyProblemText(problem)));
        return;
    }
    const double megabytes = double(dibRowBytes(plan.size.width(), 24)) * plan.size.height() / (1 << 20);
    Ergebnis->setText(Translate(QStringLiteral("Entzerrtes Bild: %1 × %2 Pixel, %3 MB"))
                          .arg(plan.size.width())
                          .arg(plan.size.height())
                          .arg(QLocale::c().toString(megabytes, 'f', 1)));
    ok->setEnabled(true);
}

bool TPerspektiveForm::ask(const QImage &preview, const QSize &size, const QString &unit, Answer &answer)
{
    pictureSize = size;
    Ecken->setPicture(preview, size);
    densityChosen = false;
    settingDensity = true;
    DichteEd->setValue(0);
    settingDensity = false;
    if (BreiteEd->value() <= 0)
        BreiteEd->setValue(1);
    if (HoeheEd->value() <= 0)
        HoeheEd->setValue(1);
    // Unit symbols read the same in every language: listed only while the dialog is open.
    EinheitEd->addItems({QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m")});
    EinheitEd->setCurrentText(unit.isEmpty() ? QStringLiteral("m") : unit);
    refresh();
    bool accepted = exec() == QDialog::Accepted;
    if (accepted) {
        answer = current();
        RectifyPlan plan;
        accepted = !answer.unit.isEmpty()
                   && planRectification(pictureSize, answer.corners, answer.width, answer.height, answer.density, plan)
                          == RectifyProblem::None;
    }
    Ecken->setPicture(QImage(), QSize());
    EinheitEd->clear();
    Ergebnis->clear();
    return accepted;
}
