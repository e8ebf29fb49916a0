#pragma once

// Conversion of the previous release's data file, Corvane.Dat (2000-byte
// slots), into a new Corvane.Data. The caller asks the user first and shows
// the outcome; this is the file work only.

#include <functional>

#include "datafile.h"

namespace corvane {

struct [[nodiscard]] ConversionResult {
    StoreStatus status;
    int recordsConverted = 0;
};

// Converts every record of Corvane.Dat, in order, through the store's record
// buffer into a newly created scratch file with the old file's permissions,
// flushes it and only then gives it the name Corvane.Data, never replacing a
// file of that name, and flushes the folder. A ragged last record (a length
// that is not a multiple of 2000) is converted too, blank where it stops. `now` gives the current
// date and time as an OLE Automation date; it is read for each record's Created and again for its
// LastModified.
//
// Needs: Corvane.Data does not exist (AlreadyExists otherwise, nothing
// touched). Corvane.Dat is only read. On any failure Corvane.Data does not
// exist afterwards and no scratch file is left, so the conversion can be
// offered again. On success RecordCount is the number of records converted.
ConversionResult ConvertOldDataFile(DataFile& store, const std::function<double()>& now);

// Fills `out` from `old` by the conversion's mapping: an entry with only a
// business phone goes to the business fields, any other to the home fields.
// Stamps and creator version are the caller's.
void mapOldRecord(const OldContactRecord& old, ContactRecord& out);

}  // namespace corvane
