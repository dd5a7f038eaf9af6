// The history file's reader on any bytes: it keeps the whole records before the first it cannot
// read, and those records written again are the bytes they came from.
#include "FuzzInput.h"
#include "HistoryFormat.h"

void FuzzOne(std::string_view bytes)
{
    PathList records;
    bool whole = ReadHistoryRecords(bytes, records);
    std::string again = EncodeHistory(records);
    Check(whole ? again == bytes : bytes.substr(0, again.size()) == again && again.size() < bytes.size(),
          "the records read are written back as the bytes they came from");
}
