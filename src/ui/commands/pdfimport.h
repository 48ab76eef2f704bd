#pragma once

#include "core/dib.h"

#include <QString>

class QMainWindow;
class TPdfSeiteForm;

// Opening a PDF plan as the picture: the page and resolution asked in form, the page rendered in
// a worker thread with its progress and a cancel in the window's status bar, while the window
// stays responsive. Problems are shown to the user; out (an empty record) receives the picture and the
// answer is true only when one was made.
bool loadPdfPicture(QMainWindow *window, TPdfSeiteForm &form, const QString &fileName, dib &out);
