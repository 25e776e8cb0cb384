#include "archives/Chrom_Error.h"

namespace {
constexpr int kBits = 8;

const char *const kCtrlMeas[kBits] = {
    "Бит 0: Признак не используется",
    "Контроллер был выключен",
    "Не было связи с влагомером",
    "Есть значения превышающие предупр. уставки",
    "Есть значения превышающие авар. уставки",
    "Не было связи с хроматографом",
    "Бит 6: Признак не используется",
    "Бит 7: Признак не используется",
};

const char *const kCtrlHd[kBits] = {
    nullptr,
    "Нет данных - контроллер был выключен",
    nullptr,
    "Использовалась ЗПЗ - был нештатный режим работы хроматографа",
    "Использовалась ЗПЗ - значение выходило за допускаемые пределы",
    "Использовалась ЗПЗ - не было связи с HMU",
    "Использовалась ЗПЗ - хроматограф не обновил данные",
    nullptr,
};

const char *const kChromLo[kBits] = {
    " Неудачная автокалибровка",
    " Сумма ненормализованных параметров вне доп. пределов",
    " Ошибка ОЗУ",
    " Время удержания этана не в норме",
    " Ошибка связи",
    " Сбой часов реального времени",
    " Разряд батареи",
    " Хроматограф не отвечает",
};

const char *const kChromHi[kBits] = {
    " Превышено рекомендуемое кол. анализов без ремонта",
    " Высота пика хроматограммы выше допускаемой",
    " Давление газа-носителя неуправляемо",
    " Температура термостата нестабильна",
    " Ошибка базовой линии хроматограммы",
    " Давление газа-носителя не в норме",
    " Слишком высокая температура термостата",
    " Не поступают данные от хроматографа",
};

QString text_of(const char *const (&table)[kBits], int bit)
{
    if (bit < 0 || bit >= kBits || !table[bit]) return {};
    return QString::fromUtf8(table[bit]);
}

const QString kNorm = QStringLiteral("Норма");
} // namespace

QString Ctrl_Status_Text(uint8_t kind, int bit)
{
    return text_of(kind == CHR_ERR_MEAS ? kCtrlMeas : kCtrlHd, bit);
}

QString Chrom_Status_Lo(int bit) { return text_of(kChromLo, bit); }
QString Chrom_Status_Hi(int bit) { return text_of(kChromHi, bit); }

QString Ctrl_Status_Heading(uint8_t ctrl)
{
    return QString::asprintf("  Статус контроллера: 0x%02X", ctrl);
}

QString Chrom_Status_Heading(uint8_t lo, uint8_t hi)
{
    return QString::asprintf("  Статус хроматографа: 0x%02X%02X", hi, lo);
}

QStringList Ctrl_Status_Lines(uint8_t kind, uint8_t ctrl)
{
    if (ctrl == 0) return {kNorm};
    QStringList lines;
    for (int bit = 0; bit < kBits; ++bit) {
        if (!(ctrl & (1u << bit))) continue;
        const QString t = Ctrl_Status_Text(kind, bit);
        if (!t.isEmpty()) lines << t;
    }
    return lines;
}

QStringList Chrom_Status_Lines(uint8_t lo, uint8_t hi)
{
    if (lo == 0 && hi == 0) return {kNorm};
    QStringList lines;
    for (int bit = 0; bit < kBits; ++bit)
        if (lo & (1u << bit)) lines << Chrom_Status_Lo(bit);
    for (int bit = 0; bit < kBits; ++bit)
        if (hi & (1u << bit)) lines << Chrom_Status_Hi(bit);
    return lines;
}

bool Chrom_Part_Shown(uint8_t kind, uint8_t ctrl)
{
    return kind == CHR_ERR_MEAS && !(ctrl & 0x22);
}
