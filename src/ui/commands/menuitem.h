#pragma once

#include <QAction>
#include <QObject>

// Makes a menu item the window handed over do its command: enabled, its triggers going to handler.
// Nothing happens for an item the window does not have.
template <class Receiver>
void offerItem(QAction *item, Receiver *receiver, void (Receiver::*handler)())
{
    if (!item)
        return;
    item->setEnabled(true);
    QObject::connect(item, &QAction::triggered, receiver, handler);
}
