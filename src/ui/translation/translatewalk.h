#pragma once

#include <QList>
#include <QString>

class QObject;
class QWidget;

// Passes every visible text of the given windows and of everything they own through the
// translation table, once: captions, window titles, hints, menu and action texts, combo items
// (keeping the selection), grid and list header captions, file dialog filters, memo lines and
// edit texts. Numbers, texts the user has typed and the texts of Qt's own dialogs and helper
// widgets are left alone; Qt translates its own texts.
//
// Objects are visited breadth first over ownership, each owner's children from the last to the
// first, so the table collects new texts in a stable order. A window that is also owned by
// another window in the list is translated once.
void translateAllWindows(const QList<QWidget *> &windows);
void translateWindow(QWidget *window);

// Every window of the application that has no parent, with everything it owns.
void translateApplication();

// One file dialog filter, entries separated by ";;": each entry's description is translated on
// its own and its pattern part, such as "(*.csv)", is kept as it stands. Descriptions that are
// only a format's abbreviation ("PNG") are the same in every language and are not looked up.
QString translateFilter(const QString &filter);

// Qt's own dialogs bring their texts in the chosen language through Qt's translations; walking
// them would only put Qt's English texts into the table.
bool isQtDialog(const QObject *object);

// What QAction::toolTip() answers when no hint of its own was set: the text without "..." and
// "&". Only a hint of its own is translated; the fallback follows the translated text.
QString derivedToolTip(QString text);

// Name of the dynamic property through which any object can hold a file dialog filter.
inline constexpr char FilterProperty[] = "filter";
