#pragma once

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>

// A new, empty settings and state folder for the windows created from now on, so that a case
// starts as a first start with no recovery copies; it is removed when the returned folder goes.
inline std::unique_ptr<QTemporaryDir> freshSettingsFolder()
{
    auto folder = std::make_unique<QTemporaryDir>();
    if (folder->isValid()) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder->path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder->filePath(QStringLiteral("state"))));
    }
    return folder;
}

// Runs what a user does in a dialog once its modal loop runs.
inline void whenShown(QObject *context, const std::function<void()> &act)
{
    QTimer::singleShot(0, context, act);
}

template <typename Dialog>
Dialog *shownModal()
{
    return qobject_cast<Dialog *>(QApplication::activeModalWidget());
}

// Replaces a field's text by typing, as a user would: a line edit itself or the one inside a spin
// field.
inline void typeInto(QWidget *field, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(field);
    if (!edit)
        edit = field->findChild<QLineEdit *>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
