#pragma once
// The settings block and the files of the "INI" directory: link settings and window geometry
// ("qzt.ini"), the telephone and Ethernet subscriber lists ("fon_abonents.ini",
// "ethr_abonents.ini"), the measured objects ("objects.ini") and the last-request record of
// the period and index dialogs ("rd_arh.ini", 74 raw bytes).
//
// Everything read from these files is brought into the range the dialogs allow before it is
// used: a hand-edited or damaged file gives working settings, never an index out of range.
// Each file is rewritten only when its content changed since it was read or last written,
// compared with a shadow copy; of "qzt.ini" only the changed keys are rewritten, and a list is
// written over its file as it is then, so two copies of the program on one work directory keep
// each other's changes.
#include <QString>
#include <cstdint>

struct List_Merge_Report;

constexpr int ABONENTS_MAX = 200;
constexpr int OBJECTS_MAX = 50;
constexpr int ABONENT_NAME_LEN = 50;    // 49 characters and the terminating zero
constexpr int PHONE_CODE_LEN = 30;      // 29 characters and the terminating zero
constexpr int MODEM_COMMAND_LEN = 200;  // 199 characters and the terminating zero
constexpr int OBJ_NAME_LEN = 51;        // 50 characters and the terminating zero
constexpr int RD_ARH_SIZE = 74;

#pragma pack(push, 1)
// Parameters of one link type.
struct Link_Par {
    uint8_t COMPort;      // COM port number
    uint8_t Adr;          // controller address 1..255 (255: any, the answering one is taken)
    uint32_t Rate;        // baud (the dialogs offer Baud_Rates)
    uint8_t Preambles;    // 0xFF bytes sent before a request
    uint8_t Repeat;       // attempts per exchange, 1..5
    uint32_t TimeOut;     // gap between reply bytes, ms
    uint32_t WaitTime;    // wait for the first reply byte, s
};

struct Curr_Par_Rec {
    uint8_t Conn_Prz;         // 0 direct line, 1 telephone modem, 2 Ethernet; else none chosen
    uint32_t Free_Port_Wait;  // s to keep retrying a busy COM port
    uint8_t Do_Close_Port;    // open and close the port around every exchange (direct line)
    int32_t Form_Height;
    int32_t Form_Width;
    int32_t Form_Left;
    int32_t Form_Top;
};

struct Abonent_Hdr {
    uint8_t users_num;   // entries in use, 0..200
    uint8_t user_index;  // selected entry (meaningless while users_num is 0)
    uint8_t sort_prz;    // 0 by name, 1 by telephone number or IP address
};

struct Fon_Abonent {
    char user_name[ABONENT_NAME_LEN];  // 1251, zero-terminated
    uint8_t contr_adr;                 // 1..255
    uint8_t adr_modbus;                // carried with the file, not edited
    char phone_code[PHONE_CODE_LEN];   // zero-terminated
};

struct Ethr_Abonent {
    char user_name[ABONENT_NAME_LEN];
    uint8_t contr_adr;
    uint32_t ip_adr;  // first dotted part in the most significant byte
    uint32_t port;    // TCP port
};

struct Fon_Abonents_List {
    Abonent_Hdr hdr;
    Fon_Abonent rec[ABONENTS_MAX];
};

struct Ethr_Abonents_List {
    Abonent_Hdr hdr;
    Ethr_Abonent rec[ABONENTS_MAX];
};

struct Fon_Conn_Par_Rec {
    Link_Par Link;
    Fon_Abonents_List Fon_Abonents;
    uint8_t Default_Command;           // kept with the file, not acted on
    char Command[MODEM_COMMAND_LEN];   // the user's modem initialisation line
    uint32_t ConnectWaitTime;          // s to wait for the modem's connection
    uint8_t AutoRepeat;                // kept with the file, not acted on
    uint32_t Conn_Repeat;              // dialling attempts
};

struct Ethernet_Conn_Par_Rec {
    Link_Par Link;                     // COMPort and Rate are not kept in the file
    Ethr_Abonents_List Ethr_Abonents;
    uint32_t ConnectWaitTime;          // s to wait for the TCP connection
    uint32_t Conn_Repeat;
};

struct Conn_Settings_Rec {
    Curr_Par_Rec Curr_Par;
    Link_Par Dir_Conn_Par;
    Fon_Conn_Par_Rec Fon_Conn_Par;
    Ethernet_Conn_Par_Rec Ethernet_Conn_Par;
};

struct Obj_List_Rec {
    uint8_t obj_num;    // 0..50
    uint8_t obj_index;  // current object (meaningless while obj_num is 0)
    char obj_name[OBJECTS_MAX][OBJ_NAME_LEN];
};

// "rd_arh.ini", little-endian on disk (Encode/Decode below do the byte order).
struct Rd_Arh_Record {
    uint32_t period_choice;  // period dialogs: 0 last hour, 1 last day, 2 given period
    uint32_t index_choice;   // index dialog: 0..4
    double start_dt;         // start of the given period (days since 30.12.1899)
    double end_dt;           // end of the given period
    uint8_t rest[50];        // carried through unchanged
};
#pragma pack(pop)

static_assert(sizeof(Link_Par) == 16);
static_assert(sizeof(Curr_Par_Rec) == 22);
static_assert(sizeof(Abonent_Hdr) == 3);
static_assert(sizeof(Fon_Abonent) == 82);
static_assert(sizeof(Ethr_Abonent) == 59);
static_assert(sizeof(Obj_List_Rec) == 2 + 50 * 51);
static_assert(sizeof(Rd_Arh_Record) == RD_ARH_SIZE);

constexpr uint32_t RD_ARH_PERIOD_MAX = 2;
constexpr uint32_t RD_ARH_INDEX_MAX = 4;

extern Conn_Settings_Rec Conn_Settings;
extern Conn_Settings_Rec Conn_Settings_Shadow;
extern Obj_List_Rec Obj_List;
extern Obj_List_Rec Obj_List_Shadow;
extern Rd_Arh_Record Rd_Arh_Rec;

// Files of the INI directory (Work_Dir() + "INI/"), set by Set_Ini_Paths.
extern QString Ini_Path, Fon_Path, Ethr_Path, Obj_Path, Rd_Arh_Path;
QString Ini_Dir();
void Set_Ini_Paths();

// "qzt.ini": the link settings and the window geometry. The screen size places a window
// without stored position in the middle of the screen. False when no file was read (the
// defaults are then in force).
bool Read_Ini(const QString &path, int screen_width = 0, int screen_height = 0);
// Writes the keys whose values differ from the shadow (and any key of those sections the
// file lacks) into the file as it is now, and brings those parts of the shadow up to date:
// what another copy of the program changed meanwhile stays unless this copy changed it too. The subscriber lists are not part of this file: their writers keep
// their own part of the shadow. False when the file could not be written.
bool Write_Ini(const QString &path);

// Subscriber files: read with the header limited (users_num <= 200, user_index inside the
// list).
//
// Another copy of the program may share the files. The shadow's copy of a list is the list as
// this copy last read or wrote its file; a writer that finds the list changed since reads the
// file again and applies this copy's additions, changes and deletions (entries matched by
// their content), its selection and sort key where the user changed them, to the list the
// file holds now, writes that, and goes on with it. A report, when given, gets the entries
// the user changed or deleted that the other copy changed or removed meanwhile, and those
// added past the list's room. Reload_* reads the file again without writing, keeping what
// this copy has not yet written.
bool Read_Fon_Abonents(const QString &path);
bool Write_Fon_Abonents(const QString &path, List_Merge_Report *report = nullptr);
bool Reload_Fon_Abonents(const QString &path);
bool Read_Ethr_Abonents(const QString &path);
bool Write_Ethr_Abonents(const QString &path, List_Merge_Report *report = nullptr);
bool Reload_Ethr_Abonents(const QString &path);

// "objects.ini", in the same way; Obj_List_Shadow is its list as last read or written.
bool Read_Objects(const QString &path);
bool Write_Objects(const QString &path, List_Merge_Report *report = nullptr);
bool Reload_Objects(const QString &path);

// "rd_arh.ini". A file that is missing, not exactly 74 bytes long, or holds a choice out of
// range or a date that is not a finite date gives the default record {0, 1, now, now, zeros}
// (false). now is a TDateTime (days since 30.12.1899).
bool Read_Rd_Arh(const QString &path, double now);
bool Write_Rd_Arh(const QString &path);
void Encode_Rd_Arh(const Rd_Arh_Record &r, uint8_t out[RD_ARH_SIZE]);
void Decode_Rd_Arh(const uint8_t in[RD_ARH_SIZE], Rd_Arh_Record &r);
// The current local time as a TDateTime.
double Now_TDateTime();

// Shadow = the whole settings block (after loading).
void Take_Settings_Shadow();

// Start-up: paths from Work_Dir(), "rd_arh.ini", "qzt.ini", both subscriber lists (sorted),
// the shadow, "objects.ini".
void Load_Settings_Files(int screen_width, int screen_height);
// Exit and before dialling: "qzt.ini" and the subscriber files (each only when changed,
// so a changed selection of a subscriber is kept), then "rd_arh.ini".
void Save_Settings_Files();
