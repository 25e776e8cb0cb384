#pragma once
// The simulated controller's two message logs and the requests that read them:
// function 7 (by record index) and function 8 with archive kinds 0 and 1 (by period, block
// by block). Kind 0 holds the diagnostic messages (22-byte records), kind 1 the
// operator-intervention messages (24-byte records). Tables 10 and 11 carry each log's
// oldest and newest index (fields 0 and 1).
//
// Faults on request: a record with a bad CRC, the archive-error bit, replies holding fewer
// records than asked for, replies whose record count does not fit their length, and an
// endless more-blocks flag.
#include "Sim.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QVector>
#include <cstdint>

class Sim_Archive;

class Sim_Messages {
public:
    // Function 8 of kinds 0 and 1 comes through the archive's Set_Other_Kinds; both core and
    // archive must outlive this object.
    Sim_Messages(Sim_Core &core, Sim_Archive &archive);
    ~Sim_Messages();
    Sim_Messages(const Sim_Messages &) = delete;
    Sim_Messages &operator=(const Sim_Messages &) = delete;

    static int Record_Size(int kind);   // 22, 24; 0 for another kind
    static int Per_Reply(int kind);     // records one reply holds at most: 11, 10

    // Fills both logs, one record every step_s seconds back from newest (oldest first): the
    // diagnostic log runs through every code 0..81 and two beyond with fitting objects,
    // the operator log through a few tables. Indexes start at first_index; tables 10 and 11
    // get the bounds.
    void Generate(const QDateTime &newest, int ala_count = 200, int aud_count = 100, uint32_t first_index = 1000,
                  int step_s = 600);
    // Replaces a log (records in index order from first_index) and sets its bounds table:
    // oldest = first_index, newest = first_index + count - 1 (an empty log: both first_index).
    void Set_Records(int kind, uint32_t first_index, const QList<QByteArray> &recs);
    // Writes the bounds table of a log alone (tables 10 and 11, fields 0 and 1).
    void Set_Bounds(int kind, uint32_t oldest, uint32_t newest);
    // Answers function 7 and function 8 of kinds 0 and 1 from now on.
    void Install();

    int Count(int kind) const;
    uint32_t First_Index(int kind) const;
    QByteArray Record(int kind, int i) const;
    QDateTime Date_Of(int kind, int i) const;

    // Sealed records (CRC over all bytes before it).
    static QByteArray Make_Ala(const QDateTime &t, uint8_t code, uint8_t object, uint8_t index, uint32_t a = 0,
                               uint32_t b = 0);
    static QByteArray Make_Ala_F(const QDateTime &t, uint8_t code, uint8_t object, uint8_t index, float a, float b);
    static QByteArray Make_Aud(const QDateTime &t, uint8_t table, uint8_t field, uint8_t unit, uint32_t old_v,
                               uint32_t new_v, const QByteArray &oper);

    // --- faults ---
    void Spoil_Crc(int kind, int i);
    // Bit 7 of the flags byte of every function-8 reply.
    void Set_Archive_Error(bool on);
    // At most n records in a reply (0: as many as fit).
    void Set_Reply_Limit(int n);
    // The record count of the next replies of func does not fit their length (one more than
    // sent): after skip good replies, for times replies.
    void Set_Count_Mismatch(int func, int skip = 0, int times = 1);
    // Function 8 says more blocks follow in every reply, starting the series over at its end.
    void Set_Endless(bool on);
    void Clear_Faults();

private:
    struct Rec {
        QByteArray bytes;
        QDateTime when;
    };
    struct Series {
        bool active = false;
        QByteArray key;
        int next_block = 0;
        int pos = 0;
        int last_block = -1;
        int last_pos = 0;
        QVector<int> idx;
    };
    Sim_Answer Func7(const QByteArray &frame);
    Sim_Answer Func8(const QByteArray &frame);
    bool Take_Mismatch(int func);
    int Fit(int kind) const;

    Sim_Core &Core;
    Sim_Archive &Arh;
    mutable QMutex Mx;
    QVector<Rec> Log[2];
    uint32_t First[2] = {1, 1};
    Series Ser[2];
    bool Arh_Error = false;
    bool Endless = false;
    int Limit = 0;
    struct Mismatch {
        int func = 0;
        int skip = 0;
        int times = 0;
    };
    QList<Mismatch> Mismatches;
};
