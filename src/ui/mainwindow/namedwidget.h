#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLatin1String>
#include <QPushButton>
#include <QString>
#include <QWidget>

// The windows name every widget the way the interface description does: the translation walk,
// the stored settings and the tests find them by those names.
template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QLabel *namedLabel(QWidget *parent, const char *name, const QString &caption)
{
    return named(new QLabel(caption, parent), name);
}

// A dialog button that Return does not press on its own: only the button marked default does.
inline QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

// The OK and "Abbrechen" row of a dialog, named Buttons, OkBtn and CancelBtn, accepting and
// rejecting it.
inline QDialogButtonBox *okCancelButtons(QDialog *dialog, QPushButton *&ok, QPushButton *&cancel)
{
    auto *box = named(new QDialogButtonBox(dialog), "Buttons");
    ok = named(box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "OkBtn");
    cancel = named(box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole), "CancelBtn");
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}
