#include "messages/forms/Msg_Menu.h"

#include "archives/forms/Arh_Read_Form.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Readindex.h"

#include <QAction>
#include <QPointer>
#include <array>

namespace {

std::array<Msg_Viewer, 2> g_viewers;
std::array<bool, 2> g_installed{};
QPointer<TFormMain> g_main;   // the window whose commands were installed

size_t Slot(Msg_Kind k) { return k == Msg_Kind::Aud ? 1 : 0; }

void Install_One(TFormMain *main, Msg_Kind k)
{
    const size_t i = Slot(k);
    if (!main || g_installed[i]) return;
    g_installed[i] = true;
    const Msg_Kind_Info &mi = Msg_Info(k);
    main->Set_Handler(QLatin1String(mi.ind_item), [main](QAction *a) { NArhIndClick(main, a); });
    main->Set_Handler(QLatin1String(mi.per_item), [main](QAction *a) { NArhPerClick(main, a); });
}

std::optional<Msg_Kind> Kind_Of(QAction *sender)
{
    if (!sender) return std::nullopt;
    bool ok = false;
    const int tag = sender->data().toInt(&ok);
    if (!ok) return std::nullopt;
    return Msg_Kind_From_Tag(tag);
}

void Show(Msg_Kind k, const std::optional<Msg_Read_Result> &r)
{
    if (!r || !Has_Message_Viewer(k)) return;
    const Msg_Viewer v = g_viewers[Slot(k)];
    v(*r);
}

} // namespace

void Set_Message_Viewer(Msg_Kind k, Msg_Viewer viewer)
{
    const size_t i = Slot(k);
    g_viewers[i] = std::move(viewer);
    if (g_viewers[i] && g_main) Install_One(g_main, k);
}

bool Has_Message_Viewer(Msg_Kind k) { return bool(g_viewers[Slot(k)]); }

bool Ask_Msg_Index(TFormMain *main, uint8_t kind, uint32_t oldest, uint32_t newest, uint32_t &first,
                   uint32_t &count)
{
    TFormIndex f(main);
    f.Kind = kind;
    f.Oldest = oldest;
    f.Newest = newest;
    Run_Dialog(f);
    if (f.Ok != 1) return false;
    first = f.First;
    count = f.Count;
    return true;
}

void NArhIndClick(TFormMain *main, QAction *sender)
{
    const std::optional<Msg_Kind> k = Kind_Of(sender);
    if (!k || !Has_Message_Viewer(*k)) return;
    std::optional<Msg_Read_Result> r;
    {
        Arh_Form_Ui ui(main);
        r = Msg_Ind_Command(*k, ui, [main](uint8_t kind, uint32_t oldest, uint32_t newest, uint32_t &first,
                                           uint32_t &count) {
            return Ask_Msg_Index(main, kind, oldest, newest, first, count);
        });
    }
    Show(*k, r);
}

void NArhPerClick(TFormMain *main, QAction *sender)
{
    const std::optional<Msg_Kind> k = Kind_Of(sender);
    if (!k || !Has_Message_Viewer(*k)) return;
    std::optional<Msg_Read_Result> r;
    {
        Arh_Form_Ui ui(main);
        r = Msg_Per_Command(*k, ui);
    }
    Show(*k, r);
}

void Install_Message_Commands(TFormMain *main)
{
    if (!main) return;
    if (!Has_Message_Viewer(Msg_Kind::Ala))
        Set_Message_Viewer(Msg_Kind::Ala, [main](const Msg_Read_Result &r) { Show_Ala_List(main, r); });
    if (g_main != main) g_installed.fill(false);
    g_main = main;
    for (Msg_Kind k : {Msg_Kind::Ala, Msg_Kind::Aud})
        if (Has_Message_Viewer(k)) Install_One(main, k);
}
