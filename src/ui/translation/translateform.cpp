#include "ui/translation/translateform.h"

#include "core/translate.h"
#include "core/translationtable.h"
#include "ui/translation/frozencolumnview.h"
#include "ui/translation/liveeditdelegate.h"
#include "ui/translation/translationmodel.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr int ColumnWidth = 250;
constexpr int SaveDelayMs = 1000;

// The names of the exchange files. Column 2 is the program's Italian, so its file is the
// "Italian" one; the other names are those the translators know.
const char *const exchangeNames[] = {
    "Italian", "Frensh",  "Japanese", "Espannol",           "Norsk",              "Castella",
    "Nederlands", "Finnish", "Serbisch", "Romance",         "Czech",              "Chinese traditional",
    "Chinese simplified", "Portuguese", "Swedish", "Polski", "Brazilian",         "Russian",
};
static_assert(std::size(exchangeNames) ==
              TTranslateForm::LastExtractColumn - TTranslateForm::FirstExtractColumn + 1);

// The file the translators send back for the import column.
constexpr char ImportTranslationsFile[] = "outtrans_PT.txt";

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    // Return belongs to the cell being edited, never to a button that would close the editor.
    b->setAutoDefault(false);
    return b;
}

// Only a to z meet their capitals; every other character compares exactly.
QString foldAsciiLetters(QString text)
{
    for (QChar &c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return text;
}

// A German text as the extraction writes it: one line.
QString asOneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

TTranslateForm::TTranslateForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TranslateForm"));
    setWindowTitle(QStringLiteral("Übersetzen"));
    setModal(true);
    resize(705, 453);

    BackBtn = button(this, "BackBtn", QStringLiteral("Zurück..."));
    Button1 = button(this, "Button1", QStringLiteral("Zeichenketten für Übersetzung extrahieren"));
    Button1->hide();
    Button2 = button(this, "Button2", QStringLiteral("Button2"));
    Button2->hide();
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterBtn = button(this, "FilterBtn", QStringLiteral("Suchen"));
    DeleteRowBtn = button(this, "DeleteRowBtn", QStringLiteral("Zeile löschen"));
    FixedColCheck = new QCheckBox(QStringLiteral("Erste Spalte fixieren"), this);
    FixedColCheck->setObjectName(QStringLiteral("FixedColCheck"));

    model = new TranslationModel(translationTable(), this);
    StringGrid1 = new FrozenColumnView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    StringGrid1->frozenView()->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setModel(model);
    StringGrid1->setShowGrid(true);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    const auto triggers = QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;
    StringGrid1->setEditTriggers(triggers);
    StringGrid1->frozenView()->setEditTriggers(triggers);
    auto *delegate = new LiveEditDelegate(this);
    StringGrid1->setItemDelegate(delegate);
    StringGrid1->frozenView()->setItemDelegate(delegate);
    // The frozen column takes no focus, so the keys always come through the grid itself.
    StringGrid1->installEventFilter(this);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    for (QPlainTextEdit *memo : {Memo1, Memo2}) {
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->hide();
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SaveDelayMs);
    Timer1->setSingleShot(true);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(BackBtn);
    top->addSpacing(12);
    top->addWidget(FilterEdit, 1);
    top->addWidget(FilterBtn);
    top->addSpacing(12);
    top->addWidget(DeleteRowBtn);
    top->addWidget(FixedColCheck);
    top->addWidget(Button1);
    top->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(top);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(Memo1);
    layout->addWidget(Memo2);
    layout->addWidget(StatusBar1);

    connect(model, &TranslationModel::edited, this, &TTranslateForm::cellEdited);
    connect(Timer1, &QTimer::timeout, this, &TTranslateForm::Timer1Timer);
    connect(BackBtn, &QPushButton::clicked, this, &TTranslateForm::BackBtnClick);
    connect(FilterBtn, &QPushButton::clicked, this, &TTranslateForm::FilterBtnClick);
    connect(DeleteRowBtn, &QPushButton::clicked, this, &TTranslateForm::DeleteRowBtnClick);
    connect(FixedColCheck, &QCheckBox::clicked, this, &TTranslateForm::FixedColCheckClick);
    connect(Button1, &QPushButton::clicked, this, &TTranslateForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TTranslateForm::Button2Click);
}

TTranslateForm::~TTranslateForm()
{
    // The grid goes after this body and may hand a last edit to the model; every keystroke is in
    // the table already, and the form is no longer there to restart its timer.
    disconnect(model, nullptr, this, nullptr);
    // Edits typed just before the program ends must not wait for a timer that never fires.
    if (Timer1->isActive()) {
        Timer1->stop();
        saveTable();
    }
}

QString TTranslateForm::exchangeName(int column)
{
    if (column < FirstExtractColumn || column > LastExtractColumn)
        return QString();
    return QString::fromLatin1(exchangeNames[column - FirstExtractColumn]);
}

QString TTranslateForm::exchangeFileName(int column)
{
    return QStringLiteral("outtrans_") + exchangeName(column) + QStringLiteral(".txt");
}

void TTranslateForm::FillStringGrid()
{
    translationTable().ensureLoaded();
    model->fill();
}

void TTranslateForm::cellEdited()
{
    Timer1->start();
}

void TTranslateForm::Timer1Timer()
{
    Timer1->stop();
    saveTable();
}

void TTranslateForm::saveTable()
{
    // The edits stay in memory either way; the status bar says when the file is behind them.
    if (translationTable().save())
        StatusBar1->clearMessage();
    else
        StatusBar1->showMessage(Translate("Die Übersetzungstabelle konnte nicht gespeichert werden."));
}

void TTranslateForm::done(int result)
{
    // Closing ends the editing of a cell first, which may hand the model its text once more.
    QDialog::done(result);
    if (Timer1->isActive()) {
        Timer1->stop();
        saveTable();
    }
}

void TTranslateForm::keyPressEvent(QKeyEvent *event)
{
    // Esc is the delete button's key here, as the window's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        DeleteRowBtn->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TTranslateForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        // While a cell is being edited, Del deletes characters in it.
        if (!StringGrid1->isEditing()) {
            DeleteRowBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTranslateForm::DeleteRowBtnClick()
{
    const QModelIndex current = StringGrid1->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const int column = current.isValid() ? current.column() : 0;
    TranslationTable &table = translationTable();
    if (row >= 0 && row < model->rowCount() && row < table.rowCount()) {
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, Message(25), table.text(row, 0),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            table.deleteRow(row);
    }
    Timer1->stop();
    saveTable();
    FillStringGrid();
    if (row >= 0 && row < model->rowCount()) {
        StringGrid1->setCurrentIndex(model->index(row, column));
        StringGrid1->scrollTo(model->index(row, column));
    }
    StringGrid1->setFocus();
}

void TTranslateForm::FilterBtnClick()
{
    const QString wanted = foldAsciiLetters(FilterEdit->text());
    if (wanted.isEmpty())
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < TranslationModel::Columns; ++column) {
            const QModelIndex cell = model->index(row, column);
            if (!foldAsciiLetters(cell.data().toString()).contains(wanted))
                continue;
            StringGrid1->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
            StringGrid1->scrollToTopLeft(cell);
            if (QMessageBox::question(this, Message(27), Message(26), QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::Yes) != QMessageBox::Yes)
                return;
        }
    }
}

void TTranslateForm::FixedColCheckClick()
{
    StringGrid1->setFrozen(FixedColCheck->isChecked());
}

void TTranslateForm::BackBtnClick()
{
    accept();
}

void TTranslateForm::showFileError(const QString &intro, const QString &path, const QString &reason)
{
    QMessageBox::critical(this, Translate("Fehler"), intro + QLatin1Char('\n') + QDir::toNativeSeparators(path) +
                                                         QLatin1Char('\n') + reason);
}

void TTranslateForm::Button1Click()
{
    const QDir folder = QDir::current();
    const TranslationTable &table = translationTable();
    const int rows = std::min(model->rowCount(), table.rowCount());
    for (int column = FirstExtractColumn; column <= LastExtractColumn; ++column) {
        QByteArray content;
        for (int row = 0; row < rows; ++row)
            if (table.text(row, column).isEmpty() && !table.text(row, 1).isEmpty())
                content += asOneLine(table.text(row, 0)).toUtf8() + '\n';
        const QString path = folder.filePath(exchangeFileName(column));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
            showFileError(Message(17), path, file.errorString());
            return;
        }
    }
}

bool TTranslateForm::readLines(const QString &path, QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showFileError(Message(15), path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        showFileError(Message(15), path, file.errorString());
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        showFileError(Translate("Die Datei ist keine UTF-8-Textdatei:"), path, QString());
        return false;
    }
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    lines = text.split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    // The line end of the last line opens no further line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return true;
}

void TTranslateForm::Button2Click()
{
    const QDir folder = QDir::current();
    const QString translationsPath = folder.filePath(QLatin1String(ImportTranslationsFile));
    const QString germanPath = folder.filePath(exchangeFileName(ImportColumn));
    QStringList translations;
    QStringList germans;
    if (!readLines(translationsPath, translations) || !readLines(germanPath, germans))
        return;
    Memo1->setPlainText(translations.join(u'\n'));
    Memo2->setPlainText(germans.join(u'\n'));
    if (translations.size() < germans.size()) {
        QMessageBox::critical(this, Translate("Fehler"),
                              Translate("Die Übersetzungen passen nicht zu den deutschen Texten: "
                                        "%1 hat %2 Zeilen, %3 hat %4 Zeilen.")
                                  .arg(QDir::toNativeSeparators(translationsPath))
                                  .arg(translations.size())
                                  .arg(QDir::toNativeSeparators(germanPath))
                                  .arg(germans.size()));
        return;
    }

    // Lines come in the order of the rows they were extracted from, so the search goes on from
    // the row last filled; a row that moved or a line without a row costs only that one line.
    const TranslationTable &table = translationTable();
    const int rows = std::min(model->rowCount(), table.rowCount());
    std::vector<bool> filled(static_cast<std::size_t>(rows), false);
    int next = 0;
    int unmatched = 0;
    for (qsizetype i = 0; i < germans.size(); ++i) {
        auto matches = [&](int row) {
            return !filled[static_cast<std::size_t>(row)] && asOneLine(table.text(row, 0)) == germans.at(i);
        };
        int found = -1;
        for (int row = next; row < rows && found < 0; ++row)
            if (matches(row))
                found = row;
        for (int row = 0; row < next && found < 0; ++row)
            if (matches(row))
                found = row;
        if (found < 0) {
            ++unmatched;
            continue;
        }
        model->setData(model->index(found, ImportColumn), translations.at(i), Qt::EditRole);
        filled[static_cast<std::size_t>(found)] = true;
        next = found + 1;
    }
    Timer1->stop();
    saveTable();
    if (unmatched > 0)
        QMessageBox::warning(this, Message(2),
                             Translate("Zu %1 Zeilen wurde kein passender deutscher Text in der Tabelle gefunden.").arg(unmatched));
}
