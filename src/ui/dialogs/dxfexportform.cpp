#include "ui/dialogs/dxfexportform.h"

#include "core/dxfexport.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

TDXFExportForm::TDXFExportForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DXFExportForm"));
    setWindowTitle(QStringLiteral("DXF Export"));

    Label1 = new QLabel(QStringLiteral("Splines teilen in:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DivideEd = new QSpinBox(this);
    DivideEd->setObjectName(QStringLiteral("DivideEd"));
    DivideEd->setLocale(QLocale::c());
    DivideEd->setRange(DxfMinPieces, DxfMaxPieces);
    DivideEd->setValue(DxfDefaultPieces);
    DivideEd->setAlignment(Qt::AlignRight);
    Label1->setBuddy(DivideEd);
    Label2 = new QLabel(QStringLiteral("Kreisbögen/Linien"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(DivideEd);
    row->addWidget(Label2);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(OKBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(bottom);
    // A fixed dialog border: the size follows the (translated) captions, never the user.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TDXFExportForm::pieces() const
{
    return DivideEd->value();
}

void TDXFExportForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
