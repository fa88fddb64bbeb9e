#pragma once
// The borderless splash shown for two seconds while the program starts.
#include <QWidget>

class QLabel;

class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);
    QLabel *Image1;
    void FormShow();

protected:
    void showEvent(QShowEvent *e) override;
};

extern TSplash *Splash;
