// An index file's reader on any bytes: it keeps the whole entries before the first it cannot read,
// and those entries written again are the bytes they came from.
#include "FuzzInput.h"
#include "HistoryFormat.h"

void FuzzOne(std::string_view bytes)
{
    PathList entries;
    bool whole = ReadIndexEntries(bytes, entries);
    std::int32_t written = 0;
    std::string again = EncodeIndex(nullptr, entries, written);
    Check(whole ? again == bytes : bytes.substr(0, again.size()) == again && again.size() < bytes.size(),
          "the entries read are written back as the bytes they came from");
}
