#include "ui/dialogs/aboutbox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/tesselon.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto *product = new QLabel(QStringLiteral("Kovrant Tesselon 1.0"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    product->setFont(big);

    auto *comments = new QLabel(QStringLiteral("Messen auf Bildern und Plänen"), this);
    comments->setObjectName(QStringLiteral("Comments"));
    auto *version = new QLabel(QStringLiteral("Version 1.0"), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *copyright = new QLabel(QStringLiteral("© Kovrant"), this);
    copyright->setObjectName(QStringLiteral("Copyright"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(comments);
    texts->addWidget(copyright);
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}
