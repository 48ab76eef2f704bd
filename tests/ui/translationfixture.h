#pragma once

#include "core/translate.h"
#include "core/translationtable.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>


// Points the program-wide translation table at a file of its own in a temporary folder and fills
// it with the given rows (German, English, Italian), saved and loaded as at start-up.
inline void useTranslationRows(const QTemporaryDir &dir, const QList<QStringList> &rows)
{
    TranslationTable &table = translationTable();
    table.setPaths(dir.filePath(QStringLiteral("translate.dat")), dir.filePath(QStringLiteral("settings/translate.dat")));
    table.clear();
    for (const QStringList &texts : rows) {
        const int row = table.addRow(texts.at(0));
        for (int column = 1; column < texts.size(); ++column)
            table.setText(row, column, texts.at(column));
    }
    table.save();
    table.load();
}

// What a message box showed before a button of it was pressed.
struct AnsweredBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers the next message box that opens by pressing its button, as a user would, and records
// what it showed. Keeps looking until one opens, so it also catches a box opened later in the same
// command.
inline void answerNextBox(QMessageBox::StandardButton button, AnsweredBox *seen = nullptr)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button, seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        if (seen) {
            seen->caption = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                seen->buttons.append(b->text());
        }
        if (QAbstractButton *b = box->button(button))
            b->click();
        else
            box->reject();
    });
    poll->start();
}
