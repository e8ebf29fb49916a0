// Makes one change of the store on a real folder, to be killed part-way by
// the crash test. Prints "go" when the change begins.
//
//   corvane_crash_child save NUMBER FOLDER [STEP]  saves entry NUMBER as "Crashed"
//   corvane_crash_child delete NUMBER FOLDER       deletes entry NUMBER
//   corvane_crash_child convert FOLDER             converts the previous format
//
// With STEP (a step as the fault-injecting file system logs it, such as
// "write Corvane.Data", or "write Corvane.Data.journal#2" for its second
// coming), the save prints "paused" just before that step and
// waits there to be killed: the moments a random kill rarely hits.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "conversion.h"
#include "datafile.h"
#include "faultyfilesystem.h"

using namespace corvane;

namespace {

StoreStatus save(DataFile& store, int number) {
    if (StoreStatus s = store.OpenDataFile(); !s.ok()) {
        return s;
    }
    (void)store.ReadRecord(number);
    store.CurrentRecord().setText(Field::FullName, "Crashed");
    StoreStatus written = store.WriteRecord(number);
    (void)store.CloseDataFile();
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string op = argc > 1 ? argv[1] : "";
    const bool numbered = op == "save" || op == "delete";
    const bool paused = op == "save" && argc == 5;
    if (argc != (numbered ? 4 : 3) + (paused ? 1 : 0)) {
        std::fprintf(stderr,
                     "usage: corvane_crash_child save|delete NUMBER FOLDER [STEP] | convert "
                     "FOLDER\n");
        return 64;
    }
    const int number = numbered ? std::stoi(argv[2]) : 0;
    test::FaultyFileSystem fs;
    if (paused) {
        // "STEP" pauses at the step's first coming, "STEP#N" at its Nth.
        std::string pauseAt = argv[4];
        int coming = 1;
        if (const auto hash = pauseAt.rfind('#'); hash != std::string::npos) {
            coming = std::stoi(pauseAt.substr(hash + 1));
            pauseAt.resize(hash);
        }
        fs.beforeStep = [pauseAt, coming, seen = 0](const std::string& step) mutable {
            if (step == pauseAt && ++seen == coming) {
                (void)!::write(1, "paused\n", 7);
                for (;;) {
                    ::pause();
                }
            }
        };
    }
    DataFile store(fs, numbered ? argv[3] : argv[2]);
    (void)!::write(1, "go\n", 3);
    StoreStatus status;
    if (op == "save") {
        status = save(store, number);
    } else if (op == "delete") {
        status = store.DeleteAndCompact(number);
    } else {
        status = ConvertOldDataFile(store, [] { return 46000.25; }).status;
    }
    if (!status.ok()) {
        std::fprintf(stderr, "%s\n", status.message().c_str());
        return 1;
    }
    return 0;
}
