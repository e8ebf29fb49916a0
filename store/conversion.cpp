#include "conversion.h"

#include <cerrno>
#include <vector>

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

    struct Side {
        Field address1, address2, cityStateZip, email, webPage, fax, pager, cell, otherInfo;
    };
    static constexpr Side kHome{Field::HomeAddress1, Field::HomeAddress2, Field::HomeCityStateZip,
                                Field::HomeEmail,    Field::HomeWebPage,  Field::HomeFax,
                                Field::HomePager,    Field::HomeCell1,    Field::HomeOtherInfo};
    static constexpr Side kWork{Field::WorkAddress1, Field::WorkAddress2, Field::WorkCityStateZip,
                                Field::WorkEmail,    Field::WorkWebPage,  Field::WorkFax,
                                Field::WorkPager,    Field::WorkCell1,    Field::WorkOtherInfo};
    const Side& side = toBusiness ? kWork : kHome;
    out.setText(side.address1, old.text(OldField::Address1));
    out.setText(side.address2, old.text(OldField::Address2));
    out.setText(side.cityStateZip, old.text(OldField::CityStateZip));
    out.setText(side.email, old.text(OldField::Email));
    out.setText(side.webPage, old.text(OldField::WebPage));
    out.setText(side.fax, old.text(OldField::Fax));
    out.setText(side.pager, old.text(OldField::Pager));
    out.setText(side.cell, old.text(OldField::Cell));
    out.setText(side.otherInfo, old.text(OldField::OtherInfo));
}

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
    // A scratch file left by an interrupted deletion or conversion holds
    // nothing of value; the new one is made afresh, never through a link.
    if (int err = fs.remove(scratchName); err != 0 && err != ENOENT) {
        fs.close(oldFile);
        return {StoreStatus::ioError(scratchName, err), 0};
    }
    int scratch = -1;
    if (int err = fs.open(scratchName, OpenMode::CreateNew, scratch)) {
        fs.close(oldFile);
        return {StoreStatus::ioError(scratchName, err), 0};
    }

    auto fail = [&](StoreStatus status) {
        fs.close(oldFile);
        if (scratch >= 0) {
            fs.close(scratch);
        }
        fs.remove(scratchName);
        return ConversionResult{std::move(status), 0};
    };

    // The new book is as private as the old one was.
    std::uint32_t mode = 0;
    if (int err = fs.permissions(oldFile, mode)) {
        return fail(StoreStatus::ioError(oldName, err));
    }
    if (int err = fs.setPermissions(scratch, mode)) {
        return fail(StoreStatus::ioError(scratchName, err));
    }
    std::uint64_t oldLength = 0;
    if (int err = fs.size(oldFile, oldLength)) {
        return fail(StoreStatus::ioError(oldName, err));
    }
    // A ragged last record is converted too, blank where the file stops:
    // whatever the old file holds reaches the new one.
    const std::uint64_t slots = (oldLength + kOldSlot - 1) / kOldSlot;
    if (slots > static_cast<std::uint64_t>(kMaxRecords)) {
        return fail(
            {StoreError::TooLarge, oldName,
             "the old data file holds more than " + std::to_string(kMaxRecords) + " entries"});
    }
    const auto count = static_cast<int>(slots);

    ContactRecord& current = store.CurrentRecord();
    std::vector<std::uint8_t> oldSlot(kOldSlot);
    for (int i = 1; i <= count; ++i) {
        std::size_t got = 0;
        if (int err = fs.readAt(oldFile, (i - 1) * kOldSlot, oldSlot.data(), kOldSlot, got)) {
            return fail(StoreStatus::ioError(oldName, err));
        }
        // The last slot of a file with a ragged end reads as blank where it stops.
        std::fill(oldSlot.begin() + static_cast<std::ptrdiff_t>(got), oldSlot.end(), ' ');
        const auto old = OldContactRecord::decode(std::span<const std::uint8_t, kOldSlot>(oldSlot));
        mapOldRecord(old, current);
        current.setCreatorVersion(kVersionMajor);
        current.setDate(Field::Created, now());
        current.setDate(Field::LastModified, now());
        const auto& bytes = current.encode();
        if (int err = fs.writeAt(scratch, (i - 1) * kNewSlot, bytes.data(), bytes.size())) {
            return fail(StoreStatus::ioError(scratchName, err));
        }
    }
    if (int err = fs.sync(scratch)) {
        return fail(StoreStatus::ioError(scratchName, err));
    }
    const int closeErr = fs.close(scratch);
    scratch = -1;
    if (closeErr != 0) {
        return fail(StoreStatus::ioError(scratchName, closeErr));
    }
    // A journal left beside a book that is gone must not be finished into
    // the new one.
    if (StoreStatus retired = retireJournal(fs, dataName); !retired.ok()) {
        return fail(retired);
    }
    // Never over a data file that appeared since it was found missing.
    if (int err = fs.renameNoReplace(scratchName, dataName)) {
        return fail(err == EEXIST ? StoreStatus{StoreError::AlreadyExists, dataName,
                                                "the data file already exists"}
                                  : StoreStatus::ioError(dataName, err));
    }
    // Until the folder is flushed the new name may not survive a power cut;
    // when it cannot be, the new file goes again, so that the conversion is
    // offered again with the old file untouched. (Should even that fail, the
    // complete new file stands; were its name lost later, the old file would
    // still be there to be converted again.)
    if (int err = fs.syncDirectoryOf(dataName); err != 0 && fs.remove(dataName) == 0) {
        return fail(StoreStatus::ioError(dataName, err));
    }
    fs.close(oldFile);

    // The conversion is complete and on the disk; should the count not be
    // learned here, the list's next opening of the file learns it.
    (void)store.RefreshRecordCount();
    return {StoreStatus::success(), count};
}

}  // namespace corvane
