#include "params/forms/Access.h"

#include "core/Conffun.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Main.h"
#include "params/forms/Params_Menu.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstring>

namespace {
QLineEdit *Masked(QWidget *parent, const char *name, int len, bool digits)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(len);
    e->setEchoMode(QLineEdit::Password);
    // Each typed character shows as "*", whatever the style's own password glyph.
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    if (digits)
        Install_Int_Filter(e);
    else
        Install_Page_Filter(e);
    return e;
}

QComboBox *Level_List(QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->addItems(Str_List(Str_Groups::Access_Levels));
    c->setCurrentIndex(-1);
    return c;
}

int Level_Index(uint8_t level)
{
    return level < ACCESS_LEVEL_COUNT ? level : -1;
}

bool Refuse_Pair(QLineEdit *a, QLineEdit *b, const QString &line1)
{
    Ques_Kind = 2;
    Show_Ques(line1, QStringLiteral("Повторите процесс сначала"));
    a->clear();
    b->clear();
    a->setFocus();
    return false;
}
} // namespace

// ---- TFormUsPass ----

TFormUsPass::TFormUsPass(QWidget *owner) : TParam_Dialog(owner, Buttons::Accept_Only)
{
    setWindowTitle(QStringLiteral("Идентификация пользователя программы"));
    resize(354, 308);
    std::memset(Pass, ' ', sizeof Pass);
    std::memset(Code, ' ', sizeof Code);
    BitBtnCancel->setText(QStringLiteral("Выход"));
    auto *g = new QGridLayout;
    Body->addLayout(g);
    EPass1 = Masked(this, "EPass1", USER_PASS_LEN, false);
    EPass2 = Masked(this, "EPass2", USER_PASS_LEN, false);
    ECode1 = Masked(this, "ECode1", USER_CODE_LEN, true);
    ECode2 = Masked(this, "ECode2", USER_CODE_LEN, true);
    const QString labels[4] = {QStringLiteral("Введите пароль"), QStringLiteral("Подтвердите пароль"),
                               QStringLiteral("Введите код"), QStringLiteral("Подтвердите код")};
    QLineEdit *edits[4] = {EPass1, EPass2, ECode1, ECode2};
    for (int k = 0; k < 4; ++k) {
        g->addWidget(new QLabel(labels[k], this), k, 0);
        g->addWidget(edits[k], k, 1);
        // Enter moves on from box to box, and from the last to "Принять".
        QWidget *next = k < 3 ? static_cast<QWidget *>(edits[k + 1]) : BitBtnAccept;
        connect(edits[k], &QLineEdit::returnPressed, next, [next] { next->setFocus(); });
    }
}

void TFormUsPass::Load()
{
    if (Clear) {
        for (QLineEdit *e : {EPass1, EPass2, ECode1, ECode2}) e->clear();
        return;
    }
    const QString p = User_Text(Pass, USER_PASS_LEN), c = User_Text(Code, USER_CODE_LEN);
    EPass1->setText(p);
    EPass2->setText(p);
    ECode1->setText(c);
    ECode2->setText(c);
}

bool TFormUsPass::Check()
{
    if (EPass1->text() != EPass2->text()) return Refuse_Pair(EPass1, EPass2, QStringLiteral("Несовпадение введенных паролей"));
    if (ECode1->text() != ECode2->text()) return Refuse_Pair(ECode1, ECode2, QStringLiteral("Несовпадение введенных кодов"));
    if (ECode1->text().trimmed().isEmpty()) return Refuse(QStringLiteral("Не задан код идентификации пользователя"));
    return true;
}

bool TFormUsPass::Store()
{
    User_Field(Pass, USER_PASS_LEN, EPass1->text());
    User_Field(Code, USER_CODE_LEN, ECode1->text());
    return true;
}

// ---- TFormAccess ----

TFormAccess::TFormAccess(QWidget *owner) : TParam_Dialog(owner)
{
    setWindowTitle(QStringLiteral("Доступ пользователей к записи в контроллер"));
    resize(432, 564);
    auto *g = new QGridLayout;
    g->setVerticalSpacing(2);
    Body->addLayout(g);
    for (int i = 0; i < USER_COUNT; ++i) {
        Row &r = Rows[i];
        const QString no = QString::number(i + 1);
        g->addWidget(new QLabel(no, this), i, 0);
        r.name = new QLineEdit(this);
        r.name->setObjectName(QStringLiteral("EName") + no);
        r.name->setMaxLength(USER_NAME_LEN);
        Install_Page_Filter(r.name);
        r.level = Level_List(this);
        r.level->setObjectName(QStringLiteral("CBLevel") + no);
        r.pass = new QPushButton(QStringLiteral("Пароль"), this);
        r.pass->setObjectName(QStringLiteral("BtnPass") + no);
        r.pass->setAutoDefault(false);
        for (QWidget *w : {static_cast<QWidget *>(r.name), static_cast<QWidget *>(r.level),
                           static_cast<QWidget *>(r.pass)})
            w->setProperty("tag", i);
        g->addWidget(r.name, i, 1);
        g->addWidget(r.level, i, 2);
        g->addWidget(r.pass, i, 3);
        connect(r.level, &QComboBox::currentIndexChanged, this,
                [this, i](int idx) { Rows[i].pass->setEnabled(idx > 0); });
        connect(r.pass, &QPushButton::clicked, this, [this, i] { Pass_Click(i); });
    }
}

void TFormAccess::Load()
{
    if (Users) std::memcpy(Work, Users, sizeof Work);
    for (int i = 0; i < USER_COUNT; ++i) {
        const User_Rec &u = Work[i];
        Row &r = Rows[i];
        r.level->setCurrentIndex(Level_Index(u.level));
        const bool used = u.level != 0;
        r.pass->setEnabled(used && r.level->currentIndex() > 0);
        r.name->setText(used ? User_Text(u.name, USER_NAME_LEN) : QString());
    }
}

void TFormAccess::Pass_Click(int i)
{
    TFormUsPass d(this);
    d.Clear = 0;
    std::memcpy(d.Pass, Work[i].pass, USER_PASS_LEN);
    std::memcpy(d.Code, Work[i].code, USER_CODE_LEN);
    Run_Dialog(d);
    if (!d.Accepted) return;
    std::memcpy(Work[i].pass, d.Pass, USER_PASS_LEN);
    std::memcpy(Work[i].code, d.Code, USER_CODE_LEN);
}

bool TFormAccess::Check()
{
    if (!Users) return false;
    for (int i = 0; i < USER_COUNT; ++i) {
        User_Rec &u = Work[i];
        Row &r = Rows[i];
        const int level = r.level->currentIndex();
        u.level = uint8_t(level < 0 ? 0 : level);
        std::memset(u.name, ' ', USER_NAME_LEN);
        if (u.level != 0) {
            User_Field(u.name, USER_NAME_LEN, r.name->text());
        } else {
            std::memset(u.pass, ' ', USER_PASS_LEN);
            std::memset(u.code, ' ', USER_CODE_LEN);
            r.name->clear();
        }
        u.flag = 0;
    }
    const Access_Refusal why = Check_Users(Work);
    if (!why.Ok()) return Refuse(why.line1, why.line2);
    return true;
}

bool TFormAccess::Store()
{
    std::memcpy(Users, Work, sizeof Work);
    return true;
}

// ---- TFormChangeAccess ----

TFormChangeAccess::TFormChangeAccess(QWidget *owner) : TParam_Dialog(owner)
{
    setWindowTitle(QStringLiteral("Доступ пользователей к записи в контроллер"));
    resize(676, 330);
    BitBtnCancel->setText(QStringLiteral("Выход"));
    auto *g = new QGridLayout;
    Body->addLayout(g);
    g->addWidget(new QLabel(QStringLiteral("Выбор пользователя\nдля коррекции"), this), 0, 0);
    LBUsers = new QListWidget(this);
    LBUsers->setObjectName(QStringLiteral("LBUsers"));
    g->addWidget(LBUsers, 1, 0, 6, 1);

    EName = new QLineEdit(this);
    EName->setObjectName(QStringLiteral("EName"));
    EName->setMaxLength(USER_NAME_LEN);
    Install_Page_Filter(EName);
    CBLevel = Level_List(this);
    CBLevel->setObjectName(QStringLiteral("CBLevel"));
    EPass1 = Masked(this, "EPass1", USER_PASS_LEN, false);
    EPass2 = Masked(this, "EPass2", USER_PASS_LEN, false);
    // The code is digits: one with other characters could never be typed at login.
    ECode1 = Masked(this, "ECode1", USER_CODE_LEN, true);
    ECode2 = Masked(this, "ECode2", USER_CODE_LEN, true);
    const QString labels[6] = {QStringLiteral("Имя пользователя"), QStringLiteral("Уровень допуска"),
                               QStringLiteral("Пароль"), QStringLiteral("Подтвердите пароль"),
                               QStringLiteral("Код идентификации"), QStringLiteral("Подтвердите код")};
    QWidget *boxes[6] = {EName, CBLevel, EPass1, EPass2, ECode1, ECode2};
    for (int k = 0; k < 6; ++k) {
        g->addWidget(new QLabel(labels[k], this), k + 1, 1);
        g->addWidget(boxes[k], k + 1, 2);
    }
    Note = new QLabel(QStringLiteral("Для удаления пользователя достаточно ввести уровень доступа \"Нет доступа\""), this);
    Note->setObjectName(QStringLiteral("Note"));
    Note->setFrameShape(QFrame::Panel);
    Note->setFrameShadow(QFrame::Sunken);
    g->addWidget(Note, 7, 0, 1, 3);

    connect(LBUsers, &QListWidget::currentRowChanged, this, [this](int s) { Choose(s); });
}

User_Rec *TFormChangeAccess::Table() const
{
    if (Tab_Data) return reinterpret_cast<User_Rec *>(Tab_Data);
    // Read by value: the directory is packed, and a reference to its pointer is misaligned.
    uint8_t *const t4 = Tab_Dir[ACCESS_TABLE].data;
    return reinterpret_cast<User_Rec *>(t4);
}

void TFormChangeAccess::Choose(int s)
{
    if (s < 0 || s >= USER_COUNT) return;
    const User_Rec &u = Work[s];
    EName->setText(User_Text(u.name, USER_NAME_LEN));
    CBLevel->setCurrentIndex(Level_Index(u.level));
    for (QLineEdit *e : {EPass1, EPass2, ECode1, ECode2}) e->clear();
}

void TFormChangeAccess::Load()
{
    const User_Rec *t = Table();
    if (t) std::memcpy(Work, t, sizeof Work);
    Maker_Idx = 255;
    Admin_Count = 0;
    Last_Admin = -1;
    LBUsers->clear();
    for (int i = 0; i < USER_COUNT; ++i) {
        LBUsers->addItem(User_List_Text(Work[i]));
        if (Work[i].level == 1) Maker_Idx = uint8_t(i);
        if (Work[i].level == 2) {
            ++Admin_Count;
            Last_Admin = i;
        }
    }
    LBUsers->setCurrentRow(0);
    Choose(0);
}

bool TFormChangeAccess::Check()
{
    if (!Table()) return false;
    const int s = LBUsers->currentRow();
    const int level = CBLevel->currentIndex();
    if (s < 0 || s >= USER_COUNT || level < 0) return Refuse(QStringLiteral("Введены не все параметры"));
    if (s == Maker_Idx && level != 1)
        return Refuse(QStringLiteral("Вы не можете удалить пользователя"),
                      QStringLiteral("с уровнем доступа \"Производитель-наладчик\""));
    if (s != Maker_Idx && level == 1)
        return Refuse(QStringLiteral("Может быть зарегистрирован"), QStringLiteral("только один производитель-наладчик"));
    if (Admin_Count == 1 && Last_Admin == s && level != 2)
        return Refuse(QStringLiteral("Вы не можете удалить единственного пользователя"),
                      QStringLiteral("с уровнем доступа \"Администратор\""));
    Out = Table()[s];
    if (level == 0) {
        // Deletion: the flag byte stays as it was.
        Out.level = 0;
        std::memset(Out.name, ' ', USER_NAME_LEN);
        std::memset(Out.pass, ' ', USER_PASS_LEN);
        std::memset(Out.code, ' ', USER_CODE_LEN);
        return true;
    }
    if (EPass1->text() != EPass2->text()) return Refuse_Pair(EPass1, EPass2, QStringLiteral("Несовпадение введенных паролей"));
    if (ECode1->text() != ECode2->text()) return Refuse_Pair(ECode1, ECode2, QStringLiteral("Несовпадение введенных кодов"));
    if (ECode1->text().trimmed().isEmpty()) return Refuse(QStringLiteral("Не задан код идентификации пользователя"));
    if (EName->text().trimmed().isEmpty())
        return Refuse(QStringLiteral("Номер пользователя в таблице - %1.").arg(s + 1),
                      QStringLiteral("Не задано имя пользователя"));
    User_Rec &w = Work[s];
    User_Field(w.name, USER_NAME_LEN, EName->text());
    w.level = uint8_t(level);
    User_Field(w.pass, USER_PASS_LEN, EPass1->text());
    User_Field(w.code, USER_CODE_LEN, ECode1->text());
    for (int j = 0; j < USER_COUNT; ++j)
        if (j != s && std::memcmp(Work[j].name, w.name, USER_NAME_LEN) == 0)
            // "% d": the second number comes with its sign place, a blank.
            return Refuse(QStringLiteral("Пользователи   %1 и  %2.").arg(s + 1).arg(j + 1),
                          QStringLiteral("Совпадение имен пользователей"));
    Out = w;
    return true;
}

bool TFormChangeAccess::Store()
{
    const int s = LBUsers->currentRow();
    Table()[s] = Out;
    User_Idx = uint8_t(s);
    return true;
}

// ---- the menu command ----

void NPassClick(TFormMain *m)
{
    if (!Road_Read(m, {Tab_Req{7, 0, 45}})) return;
    const uint8_t *state = Tab_Field(7, ACCESS_TABLE);
    if (state && *state == 1) {
        Ques_Kind = 4;
        Show_Ques(QStringLiteral("Таблица доступа пользователей"), QStringLiteral("требует полной перезаписи"));
        return;
    }
    // 16 users of 22 bytes do not fit one reply: two requests.
    if (!Road_Read(m, {Tab_Req{ACCESS_TABLE, 0, 11}, Tab_Req{ACCESS_TABLE, 11, 5}})) return;
    uint8_t *t4 = Tab_Dir[ACCESS_TABLE].data;
    if (!t4) return;
    TFormChangeAccess f(m);
    f.Tab_Data = t4;
    if (!Road_Show(f)) return;
    Hourglass h;
    Write_Table(Tab_Req{ACCESS_TABLE, uint8_t(f.User_Idx), 1}, Road_Status(m), true);
}
