#include "storestatus.h"

#include <system_error>

#include "filesystem.h"

namespace corvane {

StoreStatus StoreStatus::ioError(const std::string& fileName, int errnoValue) {
    return {StoreError::Io, fileName, systemReason(errnoValue)};
}

std::string systemReason(int errnoValue) {
    if (errnoValue == kNotARegularFile) {
        return "it is not a regular file (a link, a device or a pipe has the name)";
    }
    if (errnoValue == kNotTheUsersFile) {
        return "it belongs to another user";
    }
    return std::generic_category().message(errnoValue);
}

}  // namespace corvane
