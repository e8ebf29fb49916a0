#include "recordreader.h"

#include <cerrno>
#include <system_error>

#include "datafile.h"
#include "slotjournal.h"

namespace corvane {
namespace {

constexpr std::size_t kSlot = ContactRecord::kSize;
constexpr std::size_t kChunkSlots = 256;

// The write a whole journal beside `dataPath` holds that was cut short in
// the open file `handle`, if any; read only. A journal that never began, is
// made already, or that the file no longer bears out is not read into it.
std::optional<SlotWrite> pendingWrite(FileSystem& fs, const std::string& dataPath, int handle) {
    int err = 0;
    std::optional<SlotWrite> write = readJournal(fs, dataPath, err);
    JournalVerdict verdict{};
    if (!write || judgeJournalAgainst(fs, handle, *write, verdict) != 0 ||
        verdict != JournalVerdict::Finish) {
        return std::nullopt;
    }
    return write;
}

// Lays the part of `write` that falls on the file's bytes from `offset`
// over `chunk`.
void overlay(std::vector<std::uint8_t>& chunk, std::size_t size, std::uint64_t offset,
             const SlotWrite& write) {
    const std::uint64_t from = std::max(offset, write.start);
    const std::uint64_t to = std::min(offset + size, write.start + write.bytes.size());
    for (std::uint64_t at = from; at < to; ++at) {
        chunk[at - offset] = write.bytes[at - write.start];
    }
}

}  // namespace

bool readWholeRecords(FileSystem& fs, const std::string& dataPath,
                      const std::function<bool(const ContactRecord&, int)>& visit,
                      std::vector<std::string>& problems) {
    int handle = -1;
    if (int openErr = fs.open(dataPath, OpenMode::ReadOnly, handle)) {
        if (openErr != ENOENT) {
            problems.push_back(systemReason(openErr));
        }
        return true;
    }
    std::uint64_t length = 0;
    if (int sizeErr = fs.size(handle, length)) {
        problems.push_back(systemReason(sizeErr));
        fs.close(handle);
        return true;
    }
    const std::optional<SlotWrite> pending = pendingWrite(fs, dataPath, handle);
    const std::uint64_t fileLength = length;
    if (pending) {
        length = pending->newLength();
    }
    const std::uint64_t wholeSlots = length / kSlot;
    if (length % kSlot != 0) {
        problems.push_back("the file is " + std::to_string(length) +
                           " bytes long, not a multiple of 3000; the last " +
                           std::to_string(length % kSlot) + " bytes are not a whole record");
    }
    if (wholeSlots > static_cast<std::uint64_t>(kMaxRecords)) {
        problems.push_back("the file holds " + std::to_string(wholeSlots) +
                           " records, more than the " + std::to_string(kMaxRecords) +
                           " Corvane can count");
    }
    std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(kChunkSlots, wholeSlots) * kSlot);
    std::uint64_t number = 0;
    bool finished = true;
    while (number < wholeSlots && finished) {
        const std::uint64_t slots = std::min<std::uint64_t>(kChunkSlots, wholeSlots - number);
        std::size_t got = 0;
        if (int readErr = fs.readAt(handle, number * kSlot, chunk.data(), slots * kSlot, got)) {
            problems.push_back("reading record " + std::to_string(number + 1) +
                               " failed: " + systemReason(readErr));
            break;
        }
        if (pending) {
            // Past the file's end the unfinished save's bytes stand in.
            if (number * kSlot + got >= fileLength) {
                got = static_cast<std::size_t>(
                    std::min<std::uint64_t>(slots * kSlot, length - number * kSlot));
            }
            overlay(chunk, got, number * kSlot, *pending);
        }
        for (std::size_t i = 0; i + kSlot <= got && finished; i += kSlot) {
            const auto record =
                ContactRecord::decode(std::span<const std::uint8_t, kSlot>(&chunk[i], kSlot));
            finished = visit(record, static_cast<int>(++number));
        }
        if (finished && got < slots * kSlot) {  // the file shrank while it was read
            problems.push_back("the file ended early, after record " + std::to_string(number));
            break;
        }
    }
    fs.close(handle);
    return finished;
}

}  // namespace corvane
