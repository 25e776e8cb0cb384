// The passport's template filler given a damaged template: open, fill a day's or a month's
// passport (first input byte), save and open the result. A template it cannot read must be
// refused cleanly.
#include "Fuzz.h"
#include "archives/Xls_report.h"
#include "archives/Xlsx_Template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    Xlsx_Template t;
    if (!t.Open(fuzz::File("tpl.xlsx", fuzz::Bytes(data + 1, size - 1)))) return 0;
    Passport_Data d;
    d.kind = data[0] & 1 ? PASSPORT_MON : PASSPORT_DAY;
    d.date[0] = 26, d.date[1] = 12, d.date[2] = 7;
    d.count = 1;
    d.chr_recs = QByteArray(sizeof(Chr_HD_Rec), '\0');
    d.wmt = data[0] & 2;
    d.wmt_recs = QByteArray(sizeof(Wmt_HD_Rec), '\0');
    if (d.kind == PASSPORT_DAY) Xls_Day_Sheet(t, d, "Объект");
    else Xls_Mon_Sheet(t, d, "Объект");
    t.Merge(1, 1, 2, 3);
    // A failed save says why; a saved workbook opens again.
    const QString out = fuzz::Dir() + "out.xlsx";
    Xlsx_Template back;
    if (t.Save(out) ? !back.Open(out) : t.Error().isEmpty()) __builtin_trap();
    return 0;
}
