#include "ui/dialogs/neigungform.h"

#include "ui/widgets/numberfield.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TNeigungForm::TNeigungForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NeigungForm"));
    setWindowTitle(QStringLiteral("Neigungswinkel eingeben"));

    Label1 = new QLabel(QStringLiteral("Neigungswinkel eingeben:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    neiged = new RealSpinField(this);
    neiged->setObjectName(QStringLiteral("neiged"));
    neiged->setDecimals(2);
    Label2 = new QLabel(QStringLiteral("°"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto *angle = new QHBoxLayout;
    angle->addWidget(neiged, 1);
    angle->addWidget(Label2);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(angle);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TNeigungForm::ask(double &degrees)
{
    neiged->setValue(degrees);
    if (exec() != QDialog::Accepted)
        return false;
    degrees = neiged->value();
    return true;
}
