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
    int scratch = -1;
    if (int err = fs.open(scratchName, OpenMode::CreateTruncate, scratch)) {
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

    std::uint64_t oldLength = 0;
    if (int err = fs.size(oldFile, oldLength)) {
        return fail(StoreStatus::ioError(oldName, err));
    }
    const auto count = static_cast<int>(slotCount(oldLength, kOldSlot));
    if (count > kMaxRecords) {
        return fail(
            {StoreError::TooLarge, oldName,
             "the old data file holds more than " + std::to_string(kMaxRecords) + " entries"});
    }

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
    if (int err = fs.rename(scratchName, dataName)) {
        return fail(StoreStatus::ioError(dataName, err));
    }
    fs.syncDirectoryOf(dataName);
    fs.close(oldFile);

    // The conversion is complete and on the disk; should the count not be
    // learned here, the list's next opening of the file learns it.
    (void)store.RefreshRecordCount();
    return {StoreStatus::success(), count};
}

}  // namespace corvane
