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
    // The panel grows to show each text it is given whole, never below its set width.
    void Set_Fit(int panel);
    // The panel takes the room the other panels leave in the bar, as the bar and they change.
    void Set_Filler(int panel);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void Fit(int panel);
    void Fill();

    QVector<QLabel *> Panels;
    QVector<int> Widths;     // as set; a fitted panel never goes below it
    QVector<bool> Fitted;
    int Filler = -1;
};
