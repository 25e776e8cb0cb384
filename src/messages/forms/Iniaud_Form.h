#pragma once
// The list of operator-intervention messages: the records a reader has just read (mode 0 by
// index, mode 1 by period), decoded into text rows, or the text rows of a saved ".aud" file
// (mode 2). Saved as ".aud": the header and the 205-byte text rows.
#include "messages/Iniaud.h"
#include "messages/forms/Msg_List_Form.h"

const Msg_List_Descr &Aud_List_Descr();

// What the list is given after decoding: the header counting the rows, the rows, the number
// of records that failed their CRC check, the caption.
struct Aud_List_Data {
    Arhiv_Header header{};
    QByteArray rows;
    int bad = 0;
    QString caption;
};
Aud_List_Data Prepare_Aud_List(const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index);

class TFormAud : public TFormMsg_List {
    Q_OBJECT
public:
    // Modes 0 and 1: data = the raw records (Aud_Rec), decoded here; mode 2: data = the
    // text rows of a file.
    TFormAud(QWidget *owner, const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index = 0);

    uint8_t Mode() const { return List_Mode; }
    int Bad_Records() const { return Bad; }

private:
    TFormAud(QWidget *owner, const Aud_List_Data &d, uint8_t mode);

    uint8_t List_Mode;
    int Bad;
};

// Shows what a reader read (modes 0 and 1) modally over owner.
void Show_Aud_List(QWidget *owner, const Msg_Read_Result &r);
// Shows the text rows of a saved ".aud" file (mode 2) modally over owner: the entry of the
// open-from-file command.
void Show_Aud_File(QWidget *owner, const Arhiv_Header &h, const QByteArray &rows);

// Plugs the list in as the viewer of the operator-intervention messages, which enables
// "NAudInd" and "NAudPer" of the main window (at once when the message commands are already
// installed, otherwise when they are).
void Install_Aud_Viewer(QWidget *owner);
