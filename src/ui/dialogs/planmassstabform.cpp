#include "ui/dialogs/planmassstabform.h"

#include "core/planscale.h"
#include "core/translate.h"
#include "ui/mainwindow/namedwidget.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

TPlanmassstabForm::TPlanmassstabForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PlanmassstabForm"));
    setWindowTitle(QStringLiteral("Maßstab aus Auflösung und Planmaßstab"));

    Aufloesung = new QLabel(this);
    Aufloesung->setObjectName(QStringLiteral("Aufloesung"));
    VerhaeltnisLabel = new QLabel(QStringLiteral("Planmaßstab:"), this);
    VerhaeltnisLabel->setObjectName(QStringLiteral("VerhaeltnisLabel"));
    VerhaeltnisEd = new QComboBox(this);
    VerhaeltnisEd->setObjectName(QStringLiteral("VerhaeltnisEd"));
    VerhaeltnisEd->setEditable(true);
    VerhaeltnisEd->setInsertPolicy(QComboBox::NoInsert);
    EinheitLabel = new QLabel(QStringLiteral("Einheit:"), this);
    EinheitLabel->setObjectName(QStringLiteral("EinheitLabel"));
    EinheitEd = new QComboBox(this);
    EinheitEd->setObjectName(QStringLiteral("EinheitEd"));
    Hinweis = new QLabel(this);
    Hinweis->setObjectName(QStringLiteral("Hinweis"));
    Buttons = okCancelButtons(this, OkBtn, CancelBtn);
    connect(VerhaeltnisEd, &QComboBox::editTextChanged, this, &TPlanmassstabForm::check);

    auto *form = new QFormLayout;
    form->addRow(VerhaeltnisLabel, VerhaeltnisEd);
    form->addRow(EinheitLabel, EinheitEd);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Aufloesung);
    layout->addLayout(form);
    layout->addWidget(Hinweis);
    layout->addWidget(Buttons);
}

bool TPlanmassstabForm::ask(double dotsPerInch, double &ratio, QString &unit)
{
    Aufloesung->setText(Translate(QStringLiteral("Auflösung des Bildes: %1 dpi"))
                            .arg(QLocale::c().toString(dotsPerInch, 'f', 1)));
    // Ratios and unit symbols read the same in every language: the lists are filled only while
    // the dialog is open, so that the translation walk never takes them for texts.
    for (const char *offered : {"1:1", "1:50", "1:100", "1:200", "1:500", "1:1000"})
        VerhaeltnisEd->addItem(QLatin1String(offered));
    EinheitEd->addItems(planScaleUnits());
    VerhaeltnisEd->setCurrentText(QStringLiteral("1:%1").arg(QLocale::c().toString(ratio, 'g', 12)));
    const int unitIndex = EinheitEd->findText(unit);
    EinheitEd->setCurrentIndex(unitIndex >= 0 ? unitIndex : EinheitEd->findText(QStringLiteral("m")));
    check();
    const bool accepted = exec() == QDialog::Accepted;
    if (accepted) {
        parsePlanRatio(VerhaeltnisEd->currentText(), ratio);
        unit = EinheitEd->currentText();
    }
    Aufloesung->clear();
    VerhaeltnisEd->clear();
    EinheitEd->clear();
    return accepted;
}

void TPlanmassstabForm::check()
{
    double ratio = 0;
    const bool ok = parsePlanRatio(VerhaeltnisEd->currentText(), ratio);
    Hinweis->setText(ok ? QString() : Translate(QStringLiteral("Bitte einen Maßstab wie 1:100 eingeben.")));
    OkBtn->setEnabled(ok);
}
