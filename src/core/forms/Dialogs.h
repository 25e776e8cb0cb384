#pragma once
// Every modal dialog a command or a sequence opens is run through Run_Dialog. The program
// runs it with exec(); tests install a runner that fills the dialog's controls and presses
// its buttons without a modal loop.
#include <QDialog>
#include <functional>

class Dialog_Runner {
public:
    virtual ~Dialog_Runner() = default;
    // Shows the dialog modally and returns its result (QDialog::Accepted / Rejected).
    virtual int Run(QDialog &d) = 0;
};

// The hourglass cursor for the life of the object.
class Hourglass {
public:
    Hourglass();
    ~Hourglass();
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;
};

// Installs a runner (null: exec()); returns the previous one.
Dialog_Runner *Set_Dialog_Runner(Dialog_Runner *r);
int Run_Dialog(QDialog &d);

// A runner for tests: calls the function with each dialog in turn (it sets controls and
// clicks buttons); the dialog's result is then returned. Dialogs left open are rejected.
class Scripted_Dialogs : public Dialog_Runner {
public:
    using Step = std::function<void(QDialog &)>;
    explicit Scripted_Dialogs(std::function<void(QDialog &)> each) : Each(std::move(each)) {}
    int Run(QDialog &d) override;
    int Count = 0;

private:
    std::function<void(QDialog &)> Each;
};
