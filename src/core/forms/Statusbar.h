#pragma once
// A status bar of fixed-width text panels, as the main window stacks three of them.
#include <QFrame>
#include <QLabel>
#include <QVector>

class TStatusBar : public QFrame {
    Q_OBJECT
public:
    TStatusBar(const QVector<int> &widths, QWidget *parent = nullptr);
    int Panel_Count() const { return int(Panels.size()); }
    void Set_Text(int panel, const QString &text);
    QString Text(int panel) const;
    void Set_Width(int panel, int width);
    int Width(int panel) const;
    QLabel *Panel(int panel) const;

private:
    QVector<QLabel *> Panels;
};
