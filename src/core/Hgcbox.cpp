#include "core/Hgcbox.h"

#include "core/Comportfunctions.h"
#include "core/Crc16.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

namespace {

const char *const kPortText = "Коммуникационный порт %1 недоступен";

// Controller error codes 1..64, in code order.
const char *const kContrErr[64] = {
    "Неизвестный код команды",
    "Неправильная длина запроса",
    "Неправильный пароль на запись",
    "Неправильные параметры в запросе",
    "Попытка записи в неиспользуемое поле",
    "Ввод даты и времени не допускается",
    "Нарушена очередность записи параметров при конфигурации",
    "Функция останова ГРС не активна",
    "Нет такой таблицы",
    "Неподходящий момент для коррекции времени",
    "Чтение таблицы невозможно",
    "Запись в таблицу не допускается",
    "Нет такого поля в таблице",
    "Попытка записи в несуществующее поле",
    "Нет доступа к крану",
    "Неправильный пароль доступа к крану",
    "Слишком большое время для коррекции",
    "Нет записей с такими индексами",
    "Недостоверны индексы ведения архива",
    "Нарушена последовательность запросов в серии",
    "Другой диапазон времени в серии запросов",
    "Неправильный диапазон времени",
    "Таблица требует полной перезаписи",
    "Управление агрегатом невозможно",
    "Попытка записи более одного поля",
    "Недостаточный уровень доступа",
    "Пустое имя пользователя",
    "Пустой код идентификации пользователя",
    "Производитель/наладчик уже зарегистрирован",
    "Удаление производителя/наладчика не допускается",
    "Удаление последнего администратора не допускается",
    "Пользователь не может быть зарегистрирован",
    "Пользователь с таким именем уже есть ",
    "Пользователь не зарегистрирован или неправильный пароль",
    "Запись допускается только через специальный канал связи",
    "Индекс начального поля не соответствует ограничениям",
    "Кол. записываемых полей не соответствует ограничениям",
    "Переход в режим работы \"Автомат\" невозможен",
    "Указанного канала связи не существует",
    "К указанному каналу связи не подключены контроллеры",
    "Не получен ответ на ретранслированный запрос",
    "Идет таймаут временной записи",
    "Закончился таймаут для подачи команды постоянной записи",
    "Не совпадают данные в командах временной и постоянной записи",
    "Недопустимый код команды",
    "Неизвестный код сообщения",
    "Неизвестный код устройства",
    "Неправильная длина данных в сообщении",
    "Несовпадение КС поля данных",
    "Переполнение памяти контроллера",
    "Превышение лимита одновременно выполняемых команд",
    "Контроллер рестартовал",
    "Изменение параметров с удаленной ПЭВМ запрещено",
    "Невозможный режим работы",
    "Дата и время в норме",
    "Изменение параметров возможно только в режиме \"Настройка\"",
    "Программа опроса подключенных устройств в норме",
    "Не прошла запись в EEPROM",
    "Не прошла запись в FRAM",
    "Разрушена таблица",
    "Нарушены правила записи полей большой разрушенной таблицы",
    "Неподходящий момент для выполнения команды",
    "Не прошла запись в FLASH PROM",
    "Программа разрушена или установлена перемычка",
};

// Request bytes taken from the caller and the frame length, for the fixed-size functions.
struct Fixed_Req {
    uint8_t func;
    int data_pos;   // first frame byte of the caller's data
    int data_len;   // bytes taken from the caller
    bool pass;      // password and identification code at 4..19
    int frame_len;
};
constexpr Fixed_Req kFixed[] = {
    {1, 5, 3, false, 10},  {7, 4, 7, false, 13},  {8, 4, 15, false, 21}, {12, 20, 2, true, 24},
    {14, 4, 13, false, 19}, {15, 4, 11, false, 17}, {16, 4, 9, false, 15}, {25, 20, 0, true, 22},
    {32, 20, 0, true, 22}, {33, 20, 0, true, 22},
};

constexpr int kMaxFrame = 255;
constexpr int kFunc2Overhead = 23;   // frame bytes of function 2 besides the caller's data

// Clears the busy mark however the exchange ends.
struct Busy_Guard {
    bool &b;
    explicit Busy_Guard(bool &flag) : b(flag) { b = true; }
    ~Busy_Guard() { b = false; }
};

} // namespace

double Now_Date_Time()
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    return double(days) + double(now.time().msecsSinceStartOfDay()) / 86400000.0;
}

hgcbox::hgcbox(uint8_t adr) : Adr(adr)
{
    std::memset(Write_Pass, ' ', sizeof Write_Pass);
    std::memset(User_Code, ' ', sizeof User_Code);

    Err_Mes[0] = QStringLiteral("Команда выполнена");
    Err_Mes[1] = QStringLiteral("Неверно задан стартовый символ");
    Err_Mes[2] = QStringLiteral("Неверно задан код функции");
    Err_Mes[3] = QStringLiteral("Сбой при выполнении операции записи");
    Err_Mes[4] = QStringLiteral("Неверная длина запроса");
    Err_Mes[5] = QStringLiteral("Ответ получен не полностью (превышено время между байтами)");
    Err_Mes[6] = Port_Text();
    Err_Mes[7] = QStringLiteral("Несовпадение КС ответа контроллера");
    Err_Mes[9] = QStringLiteral("Не заданы данные запроса");
    Err_Mes[10] = QStringLiteral("Устройство не отвечает");
    Err_Mes[11] = QStringLiteral("Обмен с контроллером уже выполняется");
    Err_Mes[19] = QStringLiteral("Обмен прерван по признаку завершения работы программы");
    Err_Mes[20] = QStringLiteral("Ithernet. Не выполнена команда send (посылка запроса)");
    Err_Mes[21] = QStringLiteral("Ithernet. Не выполнена команда recv (чтение ответа на запрос)");
    for (int c = 1; c <= 64; ++c) Err_Mes[22 + c] = QString::fromUtf8(kContrErr[c - 1]);
}

hgcbox::~hgcbox()
{
    Close_Link();
}

Port *hgcbox::Link_Port() const
{
    return Conn_Prz == 2 ? Sock.get() : Port_Handle.get();
}

bool hgcbox::Exchange(uint8_t func, const uint8_t *data, int len, uint8_t link_chan)
{
    // Events are served while a reply is awaited; a handler that starts another exchange
    // would overwrite the frames of the running one.
    if (Busy) {
        Err_Code = ERR_BUSY;
        return false;
    }
    if (End_Prz) {
        End_Prz = 0;
        Err_Code = ERR_STOPPED;
        return false;
    }
    Err_Code = ERR_OK;
    Func = func;
    std::memset(Req_Buf, 0, sizeof Req_Buf);
    Req_Buf[0] = 0xCC;
    Req_Buf[1] = Adr;
    Req_Buf[3] = func;

    int frame_len = 0;
    if (func == 2) {
        if (len < 0 || (len > 0 && !data)) {
            Err_Code = len < 0 ? ERR_REQ_LEN : ERR_REQ_DATA;
            return false;
        }
        // Table, first field and count are needed; the frame must fit its length byte.
        if (len < 3 || len + kFunc2Overhead > kMaxFrame) {
            Err_Code = ERR_REQ_LEN;
            return false;
        }
        std::memcpy(Req_Buf + 4, Write_Pass, 12);
        std::memcpy(Req_Buf + 16, User_Code, 4);
        Req_Buf[20] = link_chan;
        std::memcpy(Req_Buf + 21, data, size_t(len));
        frame_len = len + kFunc2Overhead;
    } else {
        const Fixed_Req *f = std::find_if(std::begin(kFixed), std::end(kFixed),
                                          [func](const Fixed_Req &r) { return r.func == func; });
        if (f == std::end(kFixed)) {
            Err_Code = ERR_FUNC;
            return false;
        }
        // len 0: the caller gives the function's fixed count; a shorter block than that
        // would be read past its end.
        if (len < 0 || (len > 0 && len < f->data_len)) {
            Err_Code = ERR_REQ_LEN;
            return false;
        }
        if (f->data_len > 0 && !data) {
            Err_Code = ERR_REQ_DATA;
            return false;
        }
        if (f->pass) {
            std::memcpy(Req_Buf + 4, Write_Pass, 12);
            std::memcpy(Req_Buf + 16, User_Code, 4);
        }
        if (func == 1) Req_Buf[4] = link_chan;
        if (f->data_len > 0) std::memcpy(Req_Buf + f->data_pos, data, size_t(f->data_len));
        frame_len = f->frame_len;
    }
    Req_Buf[2] = uint8_t(frame_len);
    Put_Crc16(Req_Buf, uint16_t(frame_len - 2));

    Busy_Guard busy(Busy);
    if (Do_Close_Port && Conn_Prz != 2 && !Open_Port()) return false;
    if (Status_Panel) Status_Panel(Busy_Text());

    // A zero attempt count would report success without a byte sent.
    const int attempts = std::max<int>(1, Repeat);
    for (int i = 0; i < attempts; ++i) {
        if (End_Prz) {
            Err_Code = ERR_STOPPED;
            break;
        }
        if (Transact(frame_len)) break;
        // A stop request ends the exchange, not just the attempt.
        if (Err_Code == ERR_STOPPED) break;
    }

    // A search that found no valid reply keeps asking everyone: an address taken from
    // noise or a damaged frame is not the controller's.
    if (Req_Buf[1] == 0xFF && Err_Code != ERR_OK) Adr = 0xFF;
    Last_Exch_Time = Now_Date_Time();
    if (Status_Panel) Status_Panel(QString());
    if (Do_Close_Port && Port_Handle) {
        Port_Handle->Close();
        Port_Handle.reset();
        Clk->Sleep_Us(int64_t(Pause_Close_Ms) * 1000);
    }
    End_Prz = 0;
    return Err_Code == ERR_OK;
}

bool hgcbox::Send_Frame(int frame_len)
{
    std::vector<uint8_t> out(size_t(Preambles), uint8_t(0xFF));
    out.insert(out.end(), Req_Buf, Req_Buf + frame_len);
    const int n = int(out.size());

    if (Conn_Prz == 2) {
        Clk->Sleep_Us(int64_t(Pause_Tcp_Ms) * 1000);
        // A late reply to an earlier request must not pass for the answer to this one.
        if (Sock) Sock->Purge();
        if (!Sock || !Sock->Write(out.data(), n)) {
            Err_Code = ERR_SEND;
            return false;
        }
        return true;
    }

    Port *p = Port_Handle.get();
    if (!p) {
        Err_Code = ERR_WRITE;
        return false;
    }
    p->Set_Rate(Rate);
    p->Purge();
    const bool direct = Conn_Prz == 0;
    int64_t end_of_send = 0;
    if (direct) {
        // The adapter's transmitter is keyed by RTS; a device without the line is no error.
        p->Set_Rts(true);
        Clk->Sleep_Us(Pause_Rts_Us);
        // (bytes + 1) character times of 10 bits: a driver (USB adapters above all) may
        // report the queue drained while the last bytes are still on the wire.
        if (Rate > 0) end_of_send = Clk->Now_Us() + (int64_t(n) + 1) * 10 * 1000000 / Rate;
    }
    const bool ok = p->Write(out.data(), n);
    if (ok && direct) {
        p->Drain();
        const int64_t left = end_of_send - Clk->Now_Us();
        if (left > 0) Clk->Sleep_Us(left);
    }
    if (direct) p->Set_Rts(false);
    if (!ok) {
        p->Clear_Error();
        Err_Code = ERR_WRITE;
        return false;
    }
    return true;
}

uint32_t hgcbox::Receive_Reply()
{
    std::memset(Resp_Buf, 0, 255);
    const bool tcp = Conn_Prz == 2;
    const int64_t first_deadline = Clk->Now_Us() + int64_t(WaitTime) * 1000;
    const int64_t gap = int64_t(TimeOut) * 1000;
    const uint8_t req_adr = Req_Buf[1];
    const int req_len = Req_Buf[2];
    const bool search = req_adr == 0xFF;
    // Writing table 3 from field 0 changes the controller's address: the reply comes from
    // the new one.
    const bool new_adr = Req_Buf[3] == 2 && Req_Buf[21] == 3 && Req_Buf[22] == 0;
    int n = 0;      // bytes of the reply taken into Resp_Buf
    int echo = 0;   // bytes of our own request seen coming back (an echoing adapter), 0: none
    // The first complete frame whose CRC failed: reported when nothing better follows.
    std::vector<uint8_t> bad;
    // Bytes still to be scanned: a start that turned out false hands back those after it,
    // since the real start may be among them (an echoed 0x33, noise).
    std::deque<uint8_t> todo;
    int64_t last_byte = Clk->Now_Us();

    // Scans one received byte; true once a frame with a good CRC is complete.
    const auto take = [&](uint8_t in) {
        todo.push_back(in);
        while (!todo.empty()) {
            const uint8_t b = todo.front();
            todo.pop_front();
            if (echo > 0) {
                if (b == Req_Buf[echo]) {
                    if (++echo >= req_len) echo = 0;
                    continue;
                }
                todo.push_front(b);
                todo.insert(todo.begin(), Req_Buf + 1, Req_Buf + echo);
                echo = 0;
                continue;
            }
            if (n == 0) {
                // A reply never starts with 0xCC: that is our request coming back.
                if (b == 0xCC) echo = 1;
                else if (b == 0x33) Resp_Buf[n++] = b;
                continue;
            }
            const bool ok = n == 1 ? b == req_adr || search || (new_adr && b == Req_Buf[24])
                                   : n > 2 || b >= 6;
            if (!ok) {
                todo.push_front(b);
                todo.insert(todo.begin(), Resp_Buf + 1, Resp_Buf + n);
                n = 0;
                continue;
            }
            Resp_Buf[n++] = b;
            if (n > 2 && n >= Resp_Buf[2]) {
                if (Crc16(Resp_Buf, uint16_t(n)) == 0) return true;
                if (bad.empty()) bad.assign(Resp_Buf, Resp_Buf + n);
                todo.insert(todo.begin(), Resp_Buf + 1, Resp_Buf + n);
                n = 0;
            }
        }
        return false;
    };
    // A damaged frame seen earlier is the better report than a later time-out.
    const auto fail = [&](uint32_t err) {
        if (bad.empty()) return err;
        std::memset(Resp_Buf, 0, 255);
        std::copy(bad.begin(), bad.end(), Resp_Buf);
        return uint32_t(ERR_CRC);
    };
    const auto late = [&](int64_t t) {
        return (n < 2 && t > first_deadline) || ((n >= 2 || !bad.empty()) && t - last_byte > gap);
    };

    for (;;) {
        if (Pump) Pump();
        if (End_Prz) {
            End_Prz = 0;
            return ERR_STOPPED;
        }
        // Re-read each turn: a served event may have closed the link.
        Port *p = Link_Port();
        if (!p) return tcp ? ERR_RECV : ERR_NO_ANSWER;

        uint8_t b = 0;
        const int r = p->Read_Byte(b);
        if (r < 0) {
            if (tcp) return ERR_RECV;   // the connection is gone
            p->Clear_Error();
        }
        const int64_t now = Clk->Now_Us();
        if (r == 1) {
            if (take(b)) {
                if (search) Adr = Resp_Buf[1];
                return ERR_OK;
            }
            if (n > 0) last_byte = now;
            // Nothing after a damaged frame could still become one: no need to wait.
            if (!bad.empty() && n == 0 && echo == 0) return fail(ERR_CRC);
        }

        if (late(now)) return fail(n < 2 ? ERR_NO_ANSWER : ERR_GAP);
        if (r == 1) continue;   // take what is pending before sleeping

        // Sleep on the port in short slices so that events keep being served.
        int64_t deadline = n < 2 ? first_deadline : last_byte + gap;
        if (!bad.empty()) deadline = std::min(deadline, last_byte + gap);
        const int64_t left_ms = (deadline - now) / 1000 + 1;
        p->Wait_Readable(int(std::clamp<int64_t>(left_ms, 1, 5)));
        // The wait returns as soon as a byte is there: one that comes after the
        // deadline is late, as a tight poll would have found.
        if (late(Clk->Now_Us())) return fail(n < 2 ? ERR_NO_ANSWER : ERR_GAP);
    }
}

bool hgcbox::Transact(int frame_len)
{
    if (Pump) Pump();
    if (End_Prz) {
        End_Prz = 0;
        Err_Code = ERR_STOPPED;
        return false;
    }
    if (Req_Buf[0] != 0xCC) {
        Err_Code = ERR_START;
        return false;
    }
    if (frame_len < 6 || frame_len > kMaxFrame) {
        Err_Code = ERR_REQ_LEN;
        return false;
    }
    Err_Code = ERR_OK;
    if (!Send_Frame(frame_len)) return false;

    // Kept local while waiting: a refused nested exchange writes Err_Code.
    // The receiver checks the CRC: a frame that fails it may have swallowed the real start.
    uint32_t err = Receive_Reply();
    if (err == ERR_OK) {
        if (Resp_Buf[3] != (Func | 0x80)) {
            err = ERR_CONTR;
            Set_Contr_Err(Resp_Buf[4]);
        }
    }
    if (Port_Handle) Port_Handle->Purge();
    Err_Code = err;
    return err == ERR_OK;
}

void hgcbox::Set_Contr_Err(int code)
{
    if (code >= 1 && code <= 64) Mes_Buf = Err_Mes[22 + code];
    else Mes_Buf = QStringLiteral("Код ошибки = %1").arg(code);
    Err_Mes[8] = Mes_Buf;
}

QString hgcbox::Err_Text()
{
    const QString text = Err_Code < uint32_t(ERR_MES_COUNT) ? Err_Mes[Err_Code]
                                                             : QStringLiteral("Код ошибки = %1").arg(Err_Code);
    QString out = QStringLiteral("Команда %1.  %2").arg(Func).arg(text);
    // The destroyed table's number follows the controller's "table destroyed" error.
    if (Err_Code == ERR_CONTR && Resp_Buf[4] == 60) out += QStringLiteral(" %1").arg(Resp_Buf[6]);
    Mes_Buf = out;
    return out;
}

QString hgcbox::Port_Text() const
{
    // The device as it is opened.
    return QString::fromUtf8(kPortText).arg(Port_Device(Port_Name, COMPort));
}

bool hgcbox::Open_Port()
{
    if (Port_Handle) {
        Port_Handle->Close();
        Port_Handle.reset();
    }
    std::unique_ptr<Port> p = Make_Serial_Port ? Make_Serial_Port(*this) : nullptr;
    bool opened = false;
    if (p) {
        // A port held by another program is retried until it is released or the wait ends.
        const int64_t until = Clk->Now_Us() + int64_t(Free_Port_Wait) * 1000000;
        for (;;) {
            if (p->Open()) {
                opened = true;
                break;
            }
            if (Clk->Now_Us() >= until) break;
            Clk->Sleep_Us(int64_t(std::max(1, Open_Retry_Ms)) * 1000);
        }
    }
    if (!opened) {
        Err_Mes[6] = Port_Text();
        Err_Code = ERR_PORT;
        return false;
    }
    Port_Handle = std::move(p);
    Port_Handle->Set_Rate(Rate);
    Port_Handle->Set_Rts(false);
    Port_Handle->Set_Dtr(true);
    Clk->Sleep_Us(int64_t(Pause_Dtr_Ms) * 1000);
    return true;
}

void hgcbox::Close_Link()
{
    if (Sock) {
        Sock->Close();
        Sock.reset();
    }
    if (Port_Handle) {
        Port_Handle->Close();
        Port_Handle.reset();
    }
}
