#pragma once
// "О программе": program name, version and the makers' panels.
#include <QDialog>

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget *owner = nullptr);
};
