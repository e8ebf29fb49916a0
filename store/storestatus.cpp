#include "storestatus.h"

#include <system_error>

#include "filesystem.h"

namespace corvane {

StoreStatus StoreStatus::ioError(const std::string& fileName, int errnoValue) {
    return {StoreError::Io, fileName, systemReason(errnoValue)};
}

std::string systemReason(int errnoValue) {
    if (errnoValue == kNotARegularFile) {
        return "it is not a regular file of its own (a link, a second name of another file, a "
               "device or a pipe)";
    }
    if (errnoValue == kIsTheDataFile) {
        return "it is the data file itself, reached through a link; Corvane will not write its "
               "journal over the entries";
    }
    if (errnoValue == kNotTheUsersFile) {
        return "it belongs to another user";
    }
    return std::generic_category().message(errnoValue);
}

}  // namespace corvane
