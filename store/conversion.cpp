#include "conversion.h"

#include <cerrno>
#include <vector>

#include "scratchfile.h"
#include "version.h"

namespace corvane {
namespace {

constexpr std::uint64_t kOldSlot = OldContactRecord::kSize;
constexpr std::uint64_t kNewSlot = ContactRecord::kSize;

}  // namespace

void mapOldRecord(const OldContactRecord& old, ContactRecord& out) {
    out.clear();
    const bool toBusiness =
        old.text(OldField::HomePhone).empty() && !old.text(OldField::WorkPhone).empty();
    out.setText(Field::FullName, old.text(OldField::Name));
    out.setText(Field::HomePhone, old.text(OldField::HomePhone));
    out.setText(Field::WorkPhone, old.text(OldField::WorkPhone));
    out.setText(Field::Comments, old.text(OldField::Comments));
    out.setText(Field::Affiliations, old.text(OldField::Affiliation));

    const AddressSide& side = toBusiness ? kWorkSide : kHomeSide;
    out.setText(side.address1, old.text(OldField::Address1));
    out.setText(side.address2, old.text(OldField::Address2));
    out.setText(side.cityStateZip, old.text(OldField::CityStateZip));
    out.setText(side.email, old.text(OldField::Email));
    out.setText(side.webPage, old.text(OldField::WebPage));
    out.setText(side.fax, old.text(OldField::Fax));
    out.setText(side.pager, old.text(OldField::Pager));
    out.setText(side.cell1, old.text(OldField::Cell));
    out.setText(side.otherInfo, old.text(OldField::OtherInfo));
}

namespace {

// Converts the `count` records of the open old file `oldFile` one by one
// through `current` into slots 1 to `count` of `scratch`, each stamped
// as made and changed now by this version.
StoreStatus convertRecords(FileSystem& fs, int oldFile, const std::string& oldName, int count,
                           ScratchFile& scratch, ContactRecord& current,
                           const std::function<double()>& now) {
    std::vector<std::uint8_t> oldSlot(kOldSlot);
    for (int i = 1; i <= count; ++i) {
        std::size_t got = 0;
        if (int err = fs.readAt(oldFile, (i - 1) * kOldSlot, oldSlot.data(), kOldSlot, got)) {
            return StoreStatus::ioError(oldName, err);
        }
        // The last slot of a file with a ragged end reads as blank where it stops.
        std::fill(oldSlot.begin() + static_cast<std::ptrdiff_t>(got), oldSlot.end(), ' ');
        const auto old = OldContactRecord::decode(std::span<const std::uint8_t, kOldSlot>(oldSlot));
        mapOldRecord(old, current);
        current.setCreatorVersion(kVersionMajor);
        current.setDate(Field::Created, now());
        current.setDate(Field::LastModified, now());
        const auto& bytes = current.encode();
        if (StoreStatus wrote = scratch.write((i - 1) * kNewSlot, bytes.data(), bytes.size());
            !wrote.ok()) {
            return wrote;
        }
    }
    return StoreStatus::success();
}

}  // namespace

ConversionResult ConvertOldDataFile(DataFile& store, const std::function<double()>& now) {
    FileSystem& fs = store.fileSystem();
    const std::string oldName = store.path(kOldDataFileName);
    const std::string dataName = store.path(kDataFileName);
    const std::string scratchName = store.path(kScratchFileName);

    std::uint64_t existing = 0;
    const int statErr = fs.fileSize(dataName, existing);
    if (statErr == 0) {
        return {{StoreError::AlreadyExists, dataName, "the data file already exists"}, 0};
    }
    if (statErr != ENOENT) {
        return {StoreStatus::ioError(dataName, statErr), 0};
    }
    (void)store.CloseDataFile();

    int oldFile = -1;
    if (int err = fs.open(oldName, OpenMode::ReadOnly, oldFile)) {
        return {StoreStatus::ioError(oldName, err), 0};
    }
    struct Closer {
        FileSystem& fs;
        int handle;
        ~Closer() { fs.close(handle); }
    } closeOld{fs, oldFile};
    // The new book is as private as the old one was; a scratch file left by
    // an interrupted deletion or conversion holds nothing of value.
    std::uint32_t mode = 0;
    if (int err = fs.permissions(oldFile, mode)) {
        return {StoreStatus::ioError(oldName, err), 0};
    }
    ScratchFile scratch(fs, scratchName);
    if (StoreStatus made = scratch.create(mode, ScratchFile::Leftover::Remove); !made.ok()) {
        return {made, 0};
    }
    std::uint64_t oldLength = 0;
    if (int err = fs.size(oldFile, oldLength)) {
        return {StoreStatus::ioError(oldName, err), 0};
    }
    // A ragged last record is converted too, blank where the file stops:
    // whatever the old file holds reaches the new one.
    const std::uint64_t slots = (oldLength + kOldSlot - 1) / kOldSlot;
    if (slots > static_cast<std::uint64_t>(kMaxRecords)) {
        return {{StoreError::TooLarge, oldName,
                 "the old data file holds more than " + std::to_string(kMaxRecords) + " entries"},
                0};
    }
    const auto count = static_cast<int>(slots);

    if (StoreStatus converted =
            convertRecords(fs, oldFile, oldName, count, scratch, store.CurrentRecord(), now);
        !converted.ok()) {
        return {converted, 0};
    }
    if (StoreStatus finished = scratch.finish(); !finished.ok()) {
        return {finished, 0};
    }
    // A journal left beside a book that is gone must not be finished into
    // the new one.
    if (StoreStatus retired = retireJournal(fs, dataName); !retired.ok()) {
        return {retired, 0};
    }
    // Never over a data file that appeared since it was found missing.
    if (StoreStatus placed = scratch.placeAs(dataName, false); !placed.ok()) {
        if (placed.error == StoreError::AlreadyExists) {
            placed.reason = "the data file already exists";
        }
        return {placed, 0};
    }
    // Until the folder is flushed the new name may not survive a power cut;
    // when it cannot be, the new file goes again, so that the conversion is
    // offered again with the old file untouched. (Should even that fail, the
    // complete new file stands; were its name lost later, the old file would
    // still be there to be converted again.)
    if (int err = fs.syncDirectoryOf(dataName); err != 0 && fs.remove(dataName) == 0) {
        return {StoreStatus::ioError(dataName, err), 0};
    }

    // The conversion is complete and on the disk; should the count not be
    // learned here, the list's next opening of the file learns it.
    (void)store.RefreshRecordCount();
    return {StoreStatus::success(), count};
}

}  // namespace corvane
