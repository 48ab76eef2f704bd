#pragma once

#include "core/elements.h"
#include "dialoginput.h"
#include "ui/mainwindow/mainform.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The main window a case works on, as a person finds it at a first start: no stored settings,
// options or recovery copies, the window on screen and, for cases that type, active.
struct MainWindowCase {
    enum Focus { Shown, Active };

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;

    void start(Focus focus)
    {
        config = freshSettingsFolder();
        QVERIFY(config->isValid());
        show(focus);
    }

    // A new window in place of the open one, with what that one stored.
    void restart(Focus focus = Shown)
    {
        form.reset();
        show(focus);
    }

    void finish()
    {
        form.reset();
        config.reset();
    }

private:
    void show(Focus focus)
    {
        form = std::make_unique<TMainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        if (focus == Active) {
            QApplication::setActiveWindow(form.get());
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        }
    }
};

inline void addRectangle(TMainForm &form, double x1, double y1, double x2, double y2, bool selected = false)
{
    Telemente *e = form.workspace().document().appendElement();
    QVERIFY(e);
    e->typ = TypRectangle;
    e->x1 = x1;
    e->y1 = y1;
    e->x2 = x2;
    e->y2 = y2;
    e->selected = selected;
}
