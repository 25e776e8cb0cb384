#pragma once
// The list of diagnostic messages: the records a reader has just read (mode 0 by index,
// mode 1 by period), decoded into text rows, or the text rows of a saved ".ala" file
// (mode 2). Saved as ".ala": the header and the 300-byte text rows.
#include "messages/Iniala.h"
#include "messages/forms/Msg_List_Form.h"

const Msg_List_Descr &Ala_List_Descr();

// What the list is given after decoding: the header counting the rows, the rows, the number
// of records that failed their CRC check, the caption.
struct Ala_List_Data {
    Arhiv_Header header{};
    QByteArray rows;
    int bad = 0;
    QString caption;
};
Ala_List_Data Prepare_Ala_List(const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index);

class TFormAla : public TFormMsg_List {
    Q_OBJECT
public:
    // Modes 0 and 1: data = the raw records (Ala_Rec), decoded here; mode 2: data = the
    // text rows of a file.
    TFormAla(QWidget *owner, const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index = 0);

    uint8_t Mode() const { return List_Mode; }
    int Bad_Records() const { return Bad; }

private:
    TFormAla(QWidget *owner, const Ala_List_Data &d, uint8_t mode);

    uint8_t List_Mode;
    int Bad;
};

// Shows what a reader read (modes 0 and 1) modally over owner.
void Show_Ala_List(QWidget *owner, const Msg_Read_Result &r);
// Shows the text rows of a saved ".ala" file (mode 2) modally over owner: the entry of the
// open-from-file command.
void Show_Ala_File(QWidget *owner, const Arhiv_Header &h, const QByteArray &rows);
