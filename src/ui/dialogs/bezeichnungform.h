#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The name dialog of the tools and of the rename command. Only its OK button gives an Accepted
// result; the close box leaves the name as it was.
class TBezeichnungForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBezeichnungForm(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // "Bezeichnung eingeben:"
    QLineEdit *Edit1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *BitBtn1 = nullptr;

    // Presets Edit1 to text and shows the dialog modally; on OK, text receives what was entered
    // and the answer is true. Any other close leaves text as it was.
    bool ask(QString &text);

protected:
    void showEvent(QShowEvent *event) override;
};
