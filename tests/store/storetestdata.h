#pragma once

// Data files for the store's tests, written byte by byte as the program
// would find them on disk.

#include <string>
#include <vector>

#include "contactrecord.h"
#include "datafile.h"
#include "testsupport.h"

namespace corvane::test {

inline ContactRecord recordNamed(const std::string& name) {
    ContactRecord record;
    record.setText(Field::FullName, name);
    record.setText(Field::HomePhone, "555-" + std::to_string(name.size()));
    record.setDate(Field::Created, 45000.5);
    return record;
}

inline Bytes slotsOf(const std::vector<std::string>& names) {
    Bytes bytes;
    for (const std::string& name : names) {
        const ContactRecord record = recordNamed(name);
        const auto& slot = record.encode();
        bytes.insert(bytes.end(), slot.begin(), slot.end());
    }
    return bytes;
}

// The names of the records in a data file's bytes, in slot order.
inline std::vector<std::string> namesIn(const Bytes& bytes) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at + ContactRecord::kSize <= bytes.size();
         at += ContactRecord::kSize) {
        const auto record = ContactRecord::decode(
            std::span<const std::uint8_t, ContactRecord::kSize>(&bytes[at], ContactRecord::kSize));
        names.push_back(record.text(Field::FullName));
    }
    return names;
}

// The file's bytes once record `number` of `before` is saved under `name`:
// a slot beyond the end reads as a cleared record.
inline Bytes savedAs(Bytes file, int number, const std::string& name) {
    const std::size_t at = static_cast<std::size_t>(number - 1) * 3000;
    while (file.size() < at + 3000) {
        file.push_back(ContactRecord::blankByteAt(file.size() % 3000));
    }
    ContactRecord record =
        ContactRecord::decode(std::span<const std::uint8_t, 3000>(file.data() + at, 3000));
    record.setText(Field::FullName, name);
    std::copy(record.encode().begin(), record.encode().end(), file.begin() + at);
    return file;
}

// How a window saves one entry under a new name: open, read, change, write,
// close. The write's failure, or else the close's.
inline StoreStatus saveName(DataFile& store, int number, const std::string& name) {
    if (StoreStatus s = store.OpenDataFile(); !s.ok()) {
        return s;
    }
    if (StoreStatus s = store.ReadRecord(number); !s.ok()) {
        (void)store.CloseDataFile();
        return s;
    }
    store.CurrentRecord().setText(Field::FullName, name);
    StoreStatus written = store.WriteRecord(number);
    StoreStatus closed = store.CloseDataFile();
    return written.ok() ? closed : written;
}

}  // namespace corvane::test

namespace corvane::test {

// A whole journal, as a save writes it, for saving record `number` of the
// file `before` under `name` (a rewrite, or an append just past the end).
inline Bytes journalFor(const Bytes& before, int number, const std::string& name) {
    const Bytes after = savedAs(before, number, name);
    const std::size_t start = std::min<std::size_t>((number - 1) * 3000, before.size());
    const std::size_t end = static_cast<std::size_t>(number) * 3000;
    return encodeJournal(
        makeSlotWrite(start, before.size(), Bytes(after.begin() + start, after.begin() + end),
                      std::span(before).subspan(start, std::min(end, before.size()) - start)));
}

// A save of record `number` of `before` as "Bell" with a comment, cut short
// when only the sector holding the name had reached the disk: the journal
// and the file it left.
inline std::pair<Bytes, Bytes> tornRewrite(const Bytes& before, int number) {
    ContactRecord bell = recordNamed("Bell");
    bell.setText(Field::Comments, "met at the fair");
    const Bytes slot(bell.encode().begin(), bell.encode().end());
    const std::size_t at = static_cast<std::size_t>(number - 1) * 3000;
    Bytes torn = before;
    std::copy(slot.begin(), slot.begin() + 512 - at % 512, torn.begin() + at);
    return {
        encodeJournal(makeSlotWrite(at, before.size(), slot, std::span(before).subspan(at, 3000))),
        torn};
}

}  // namespace corvane::test
