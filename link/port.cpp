#include "link/port.h"

#include "text/texts.h"

namespace kestrel {

Result PortCancelled() {
    return Result::Cancelled(texts::kCancelled);
}

Result PortSilent(std::string_view port) {
    return Result::TimedOut(texts::kHandheldSilent, port);
}

Result ReadFailed(std::string_view port, std::error_code error) {
    return Result::Failed(texts::kReceiveError, port, error);
}

Result WriteFailed(std::string_view port, std::error_code error) {
    return Result::Failed(texts::kSendError, port, error);
}

}  // namespace kestrel
