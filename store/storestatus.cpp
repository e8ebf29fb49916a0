#include "storestatus.h"

#include <system_error>

namespace corvane {

StoreStatus StoreStatus::ioError(const std::string& fileName, int errnoValue) {
    return {StoreError::Io, fileName, std::generic_category().message(errnoValue)};
}

}  // namespace corvane
