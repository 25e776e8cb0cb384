#pragma once
// The simulated controller's measurement archives and the functions that read them:
// 8 (by period, block by block), 15 (hourly) and 16 (daily).
//
// The archives are generated once for a span back from a moment of the controller's clock:
// chromatograph analyses and moisture-meter readings every 3 minutes, hourly and daily
// records of both devices, one calibration a day. Table 27 gets the first-record dates and
// table 6 the day-start hour. The controller clock (table 2) keeps running; the archives do
// not grow.
//
// Faults on request: a record with a bad CRC, NaN and infinite values, gaps, records out of
// order, the archive-error bit, an endless more-data flag, and replies whose record count
// does not fit their length.
#include "Sim.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QVector>
#include <cstdint>

enum class Sim_Arh : uint8_t {
    Chr_Meas,   // function 8, kind 6, device 0: 94-byte analyses every 3 minutes
    Wmt_Meas,   // function 8, kind 6, device 0x01: 29-byte readings every 3 minutes
    Clb,        // function 8, kind 5, device 0: 90-byte calibrations, one a day
    Chr_Hour,   // function 15, device 0: 94 bytes
    Wmt_Hour,   // function 15, device 1: 28 bytes
    Chr_Day,    // function 16, device 0: 94 bytes
    Wmt_Day,    // function 16, device 1: 28 bytes
};
constexpr int SIM_ARH_COUNT = 7;

struct Sim_Archive_Span {
    QDateTime now;              // controller clock of the newest records (invalid: the core's clock)
    int meas_hours = 48;        // 3-minute archives (both devices)
    int hour_days = 7;          // hourly archives
    int day_days = 60;          // daily archives
    int clb_days = 10;          // calibrations
    uint8_t day_start_hour = 10;   // table 6 field 6: the gas day starts at this hour
    bool day_flag = false;      // bit 7 of the last byte of the daily first-record date
    int clb_hour = 8;           // calibrations at this hour, 30 minutes past
};

class Sim_Archive {
public:
    explicit Sim_Archive(Sim_Core &core);
    ~Sim_Archive();
    Sim_Archive(const Sim_Archive &) = delete;
    Sim_Archive &operator=(const Sim_Archive &) = delete;

    // Builds every archive and writes tables 6 (day-start hour) and 27 (first records).
    void Generate(const Sim_Archive_Span &span);
    // Answers functions 8, 15 and 16 from now on (through the core's handlers).
    void Install();
    // Function 8 of other archive kinds (0 and 1: the message lists) goes here when set;
    // otherwise it is refused with error 4.
    void Set_Other_Kinds(Sim_Core::Handler h);

    // --- the archives ---
    int Count(Sim_Arh a) const;
    QByteArray Record(Sim_Arh a, int i) const;
    // Records whose date lies in [from, to], compared to the archive's unit (measurement and
    // calibration to the second, hourly to the hour, daily to the day), in stored order.
    QList<QByteArray> Records_Between(Sim_Arh a, const QDateTime &from, const QDateTime &to) const;
    // Date of record i (hourly and daily: the date and start hour).
    QDateTime Date_Of(Sim_Arh a, int i) const;
    // Index of the first record dated exactly t (to the archive's unit), -1 when none.
    int Index_Of(Sim_Arh a, const QDateTime &t) const;
    static int Record_Size(Sim_Arh a);

    // --- faults ---
    // Corrupts the stored CRC of record i.
    void Spoil_Crc(Sim_Arh a, int i);
    // Sets value k of record i (a NaN or an infinity, say) and recomputes its CRC.
    void Set_Value(Sim_Arh a, int i, int k, float v);
    // Removes the records dated from..to (inclusive, to the unit): a gap.
    int Remove_Between(Sim_Arh a, const QDateTime &from, const QDateTime &to);
    // Exchanges the places of records i and j: out of order.
    void Swap(Sim_Arh a, int i, int j);
    // Bit 7 of the flags byte of every function-8 reply.
    void Set_Archive_Error(bool on);
    // Function 8 says more data follow in every reply, starting the archive over at its end.
    void Set_Endless(bool on);
    // The record count of the replies of func does not fit their length (one more record
    // than sent): after skip good replies, for times replies (below 0: until cleared).
    void Set_Count_Mismatch(int func, int skip = 0, int times = 1);
    void Clear_Faults();

    // Function-8 block numbers received, in order (for the series tests).
    QList<int> Blocks() const;
    void Clear_Blocks();

private:
    struct Rec {
        QByteArray bytes;
        QDateTime when;   // date of the record (hourly/daily: start of the interval's date/hour)
    };
    struct Series {
        bool active = false;
        QByteArray key;       // device, kind, start, end of the series
        int next_block = 0;
        int pos = 0;
        int last_block = -1;  // the block answered last, and where its records began
        int last_pos = 0;
        QVector<int> idx;     // records of the series, in stored order
    };
    Sim_Answer Func8(const QByteArray &frame);
    Sim_Answer Func15_16(const QByteArray &frame);
    bool Take_Mismatch(int func);
    int Unit_Of(Sim_Arh a) const;
    bool In_Range(Sim_Arh a, const QDateTime &t, const QDateTime &from, const QDateTime &to) const;
    QByteArray Make_Record(Sim_Arh a, const QDateTime &t, int serial) const;

    Sim_Core &Core;
    mutable QMutex Mx;
    QVector<Rec> Arh[SIM_ARH_COUNT];
    QVector<float> Base;          // gas parameter values the records vary around
    uint8_t Day_Hour = 10;
    Series Ser;
    bool Arh_Error = false;
    bool Endless = false;
    struct Mismatch {
        int func = 0;
        int skip = 0;
        int times = 0;
    };
    QList<Mismatch> Mismatches;
    QList<int> Block_Log;
    Sim_Core::Handler Other;
};
