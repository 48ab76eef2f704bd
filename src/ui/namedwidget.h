#pragma once

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
