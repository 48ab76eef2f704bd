#pragma once

#include <QDialog>

// The "Info" box: product, version and maker.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
