#pragma once

#include "core/translate.h"
#include "core/translationtable.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>


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

// Answers the next message boxes that open, one answer each, by pressing their buttons as a user
// would, and hands what each showed to record. Keeps looking until all are answered, so it also
// catches boxes opened later in the same command.
inline void answerBoxesWith(const QList<QMessageBox::StandardButton> &answers,
                            std::function<void(const AnsweredBox &)> record)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    auto pending = std::make_shared<QList<QMessageBox::StandardButton>>(answers);
    auto last = std::make_shared<QPointer<QMessageBox>>();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pending, last, record] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == last->data())
            return;
        *last = box;
        AnsweredBox shown{box->windowTitle(), box->text(), box->icon(), {}};
        for (QAbstractButton *b : box->buttons())
            shown.buttons.append(b->text());
        record(shown);
        const QMessageBox::StandardButton answer = pending->takeFirst();
        if (pending->isEmpty()) {
            poll->stop();
            poll->deleteLater();
        }
        if (QAbstractButton *b = box->button(answer))
            b->click();
        else
            box->reject();
    });
    poll->start();
}

inline void answerBoxes(const QList<QMessageBox::StandardButton> &answers, QList<AnsweredBox> *seen = nullptr)
{
    answerBoxesWith(answers, [seen](const AnsweredBox &box) {
        if (seen)
            seen->append(box);
    });
}

inline void answerNextBox(QMessageBox::StandardButton button, AnsweredBox *seen = nullptr)
{
    answerBoxesWith({button}, [seen](const AnsweredBox &box) {
        if (seen)
            *seen = box;
    });
}
