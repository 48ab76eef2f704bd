#pragma once

#include "core/dib.h"

#include <QString>

class QWidget;
class TPdfSeiteForm;

// Opening a PDF plan as the picture: the page and resolution asked in form, the page rendered in
// a worker thread behind a progress dialog that can cancel it, while the window stays
// responsive. Problems are shown to the user; out (an empty record) receives the picture and the
// answer is true only when one was made.
bool loadPdfPicture(QWidget *parent, TPdfSeiteForm &form, const QString &fileName, dib &out);
