#pragma once
// The user table editors: the whole table (TFormAccess, on a configuration record or the
// image), one entry of the controller's table (TFormChangeAccess) and one entry's password
// and code (TFormUsPass); and the Parameters-menu command that edits one entry.
#include "params/Access.h"
#include "params/forms/Param_Dialog.h"

class QComboBox;
class QLabel;
class QListWidget;
class TFormMain;

// "Идентификация пользователя программы": a password and a code, each typed twice.
class TFormUsPass : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormUsPass(QWidget *owner = nullptr);
    char Pass[USER_PASS_LEN];
    char Code[USER_CODE_LEN];
    uint8_t Clear = 0;   // show empty boxes

    QLineEdit *EPass1 = nullptr, *EPass2 = nullptr;   // "Введите пароль" / "Подтвердите пароль"
    QLineEdit *ECode1 = nullptr, *ECode2 = nullptr;   // "Введите код" / "Подтвердите код"

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
};

// "Доступ пользователей к записи в контроллер", all 16 entries. Users: the 16 records;
// they change only at the accept.
class TFormAccess : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormAccess(QWidget *owner = nullptr);
    User_Rec *Users = nullptr;

    struct Row {
        QLineEdit *name = nullptr;
        QComboBox *level = nullptr;
        QPushButton *pass = nullptr;
    };
    Row Rows[USER_COUNT];
    const User_Rec &Working(int i) const { return Work[i]; }

private:
    User_Rec Work[USER_COUNT] = {};
    void Pass_Click(int i);

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
};

// "Доступ пользователей к записи в контроллер", one entry of table 4 of the image
// (Tab_Data: the table; the image's table 4 when not set). Out: User_Idx, the entry to write.
class TFormChangeAccess : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormChangeAccess(QWidget *owner = nullptr);
    uint8_t User_Idx = 0;

    QListWidget *LBUsers = nullptr;   // "Выбор пользователя" / "для коррекции"
    QLineEdit *EName = nullptr;       // "Имя пользователя"
    QComboBox *CBLevel = nullptr;     // "Уровень допуска"
    QLineEdit *EPass1 = nullptr, *EPass2 = nullptr;
    QLineEdit *ECode1 = nullptr, *ECode2 = nullptr;
    QLabel *Note = nullptr;

private:
    User_Rec Work[USER_COUNT] = {};
    User_Rec Out{};
    uint8_t Maker_Idx = 255;   // the level-1 entry
    int Admin_Count = 0;       // level-2 entries
    int Last_Admin = -1;
    User_Rec *Table() const;
    void Choose(int s);

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
};

// "Доступ пользователей к таблицам параметров": one entry edited and written.
void NPassClick(TFormMain *m);
