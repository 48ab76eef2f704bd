#include "scan/selectscannerdialog.h"

#include "core/translate.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

SelectScannerDialog::SelectScannerDialog(const QList<ScannerDevice> &devices, const QString &current,
                                         QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectScannerDialog"));
    setWindowTitle(Translate(QStringLiteral("Scanner wählen")));
    setModal(true);

    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("ScannerList"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({Translate(QStringLiteral("Hersteller")), Translate(QStringLiteral("Modell")),
                           Translate(QStringLiteral("Gerät"))});
    for (const ScannerDevice &device : devices) {
        auto *item = new QTreeWidgetItem(list, {device.vendor, device.model, device.name});
        item->setData(0, Qt::UserRole, device.name);
        if (device.name == current)
            list->setCurrentItem(item);
    }
    if (!list->currentItem() && list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(Translate(QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    QPushButton *cancel = buttons->addButton(Translate(QStringLiteral("Abbrechen")), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { okButton->setEnabled(item != nullptr); });
    okButton->setEnabled(list->currentItem() != nullptr);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(QSize(480, 240)));
}

QString SelectScannerDialog::selectedDevice() const
{
    const QTreeWidgetItem *item = list->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}
