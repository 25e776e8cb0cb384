// A configuration file as "Открыть" takes it: the opener's checks, then the record checked
// and copied into the table image, with and without the user table (first input byte).
#include "Fuzz.h"
#include "core/Cnf_Exchange.h"
#include "params/Config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    static Cnf_Rec rec;
    New_Cnf(rec);
    uint8_t version = 0;
    const Cnf_Load r = Load_Cnf_File(fuzz::File("cnf", fuzz::Bytes(data + 1, size - 1)), rec, &version);
    Report_Cnf_Load(r, "cnf", version);
    if (r == Cnf_Load::Ok) Cnf_Contr_Name(rec), Apply_Config(rec, data[0] & 1);
    return 0;
}
