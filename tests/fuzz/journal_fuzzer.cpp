// libFuzzer target over the journal's reader. Whatever a journal holds (a
// damaged disk, a foreign file of that name, a kill in the middle of a
// line), reading it must never crash or throw, and every record it yields
// must be written back to a line that reads as the same record: the reader
// and the writer agree, so a run that settles an earlier one acts on what
// the earlier one wrote.
#include "log/journal_record.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool same(const CJournalRecord& a, const CJournalRecord& b)
{
    return a.kind == b.kind && a.path == b.path && a.other == b.other && a.flag == b.flag &&
           a.section == b.section && a.key == b.key && a.value == b.value && a.before == b.before &&
           a.after == b.after && a.hive == b.hive && a.view == b.view && a.name == b.name &&
           a.type == b.type && a.data == b.data && (a.kind != CJournalRecord::begin || a.mode == b.mode) &&
           (a.kind != CJournalRecord::keyBefore || a.top == b.top);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t damaged = 0;
    for (const CJournalRecord& record : ParseJournal(text, &damaged)) {
        std::string line = EncodeJournalRecord(record);
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
        auto again = DecodeJournalRecord(line);
        if (!again || !same(record, *again))
            std::abort();
    }
    return 0;
}
