// Makes one change of the store on a real folder, to be killed part-way by
// the crash test. Prints "go" when the change begins.
//
//   corvane_crash_child save NUMBER FOLDER     saves entry NUMBER as "Crashed"
//   corvane_crash_child delete NUMBER FOLDER   deletes entry NUMBER
//   corvane_crash_child convert FOLDER         converts the previous format

#include <unistd.h>

#include <cstdio>
#include <string>

#include "conversion.h"
#include "datafile.h"

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
    if (argc != (numbered ? 4 : 3)) {
        std::fprintf(stderr,
                     "usage: corvane_crash_child save|delete NUMBER FOLDER | convert FOLDER\n");
        return 64;
    }
    const int number = numbered ? std::stoi(argv[2]) : 0;
    DataFile store(realFileSystem(), argv[argc - 1]);
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
