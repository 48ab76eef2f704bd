#pragma once

#include <functional>

class QWidget;

// Runs work once the widget's window has been exposed and painted, so that a long task begun
// while a window is first shown does not keep the window from appearing. Runs it at the next
// turn of the event loop when the window is already on screen; never when the widget is gone.
void runAfterFirstPaint(QWidget *widget, std::function<void()> work);
