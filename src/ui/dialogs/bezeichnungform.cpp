#include "ui/dialogs/bezeichnungform.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TBezeichnungForm::TBezeichnungForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BezeichnungForm"));
    setWindowTitle(QStringLiteral("Bezeichnung eingeben"));

    Label1 = new QLabel(QStringLiteral("Bezeichnung eingeben:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(401);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto *strip = new QWidget(this);
    strip->setFixedHeight(50);
    auto *bottom = new QHBoxLayout(strip);
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(Bevel1);
    layout->addWidget(strip);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TBezeichnungForm::ask(QString &text)
{
    Edit1->setText(text);
    if (exec() != QDialog::Accepted)
        return false;
    text = Edit1->text();
    return true;
}

void TBezeichnungForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // As the user expects from a field that gets the focus: typing replaces the preset name.
    Edit1->setFocus();
    Edit1->selectAll();
}
