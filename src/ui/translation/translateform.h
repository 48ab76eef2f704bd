#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class FrozenColumnView;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class TranslationModel;

// The translation editor: the whole translation table in a grid, one row per German text and one
// column per language. Edits go into the table at once; the file follows one second after the
// last change, and when the editor closes. Two hidden buttons exchange texts with translators
// through plain text files in the current folder.
class TTranslateForm : public QDialog
{
    Q_OBJECT
public:
    explicit TTranslateForm(QWidget *parent = nullptr);
    ~TTranslateForm() override;

    // First and last column of the extraction tool, and the column the import tool fills.
    static constexpr int FirstExtractColumn = 2;
    static constexpr int LastExtractColumn = 19;
    static constexpr int ImportColumn = 15;
    // The name in the exchange file "outtrans_" + name + ".txt" of a column 2 to 19.
    static QString exchangeName(int column);
    static QString exchangeFileName(int column);

    QPushButton *BackBtn = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QLineEdit *FilterEdit = nullptr;
    QPushButton *FilterBtn = nullptr;
    QPushButton *DeleteRowBtn = nullptr;
    QCheckBox *FixedColCheck = nullptr;
    FrozenColumnView *StringGrid1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QTimer *Timer1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    TranslationModel *model = nullptr;

    // Loads the grid from the table.
    void FillStringGrid();

public slots:
    void Timer1Timer();
    void DeleteRowBtnClick();
    void FilterBtnClick();
    void FixedColCheckClick();
    void BackBtnClick();
    void Button1Click();
    void Button2Click();

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cellEdited();
    void saveTable();
    void showFileError(const QString &intro, const QString &path, const QString &reason);
    bool readLines(const QString &path, QStringList &lines);
};
