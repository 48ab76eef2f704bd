#pragma once

#include <QString>
#include <QWidget>

// The status bar's report line. Its text is put together from parts already in the user's
// language, so it is painted rather than held as a caption the translation walk would look up.
class StatusReport : public QWidget
{
    Q_OBJECT
public:
    explicit StatusReport(QWidget *parent);

    QString text() const { return shown; }
    void setText(const QString &text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shown;
};
