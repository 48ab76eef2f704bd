#pragma once

#include <QList>
#include <QObject>

class TMainForm;
class ViewCommands;

// The results list ListView1 and the drawing select the same element: a row chosen with the mouse
// or the arrow keys selects its element as the pointer tool would and scrolls it into view when
// it lies outside; elements selected in the drawing highlight their rows; a double-clicked row
// asks for its element's name. Selecting is no step of the history; the name is.
class ResultsSelection : public QObject
{
    Q_OBJECT
public:
    ResultsSelection(TMainForm &form, ViewCommands &view);

private:
    // The element at a document position was chosen or double-clicked in the list.
    void elementChosen(int position);
    void renameElement(int position);
    void showSelectedElements();
    // Selects only the element at position; false when there is none.
    bool selectOnly(int position);

    TMainForm &form;
    ViewCommands &view;
    // Set while the rows follow the drawing, so that this is not taken for the user's choice.
    bool following = false;
    // The rows the drawing selected last time: the list scrolls only when they change.
    QList<int> shownRows;
};
