#pragma once

class QFileDialog;
class QWidget;

// The window builds its file dialogs at once but shows them rarely. Qt's own dialog lists its
// folder as soon as it exists, on a thread per dialog, and tells every file's type by opening it
// and reading its content on the window's thread, again whenever the folder changes: with a
// folder of many files the window would take seconds to appear. This dialog looks at the file
// system's root, which holds few entries, until it is first shown, and then at the current folder
// as Qt's would have; it tells types by file name and shows plain file and folder icons.
QFileDialog *newQuietFileDialog(QWidget *parent);
