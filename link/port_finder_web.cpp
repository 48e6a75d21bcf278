// The page has no ports to search: the browser shows a port only when a
// person picks it (see web_serial_port.cpp), so nothing is listened to.
#include "link/port_finder.h"
#include "text/texts.h"

namespace kestrel {

ResultOf<FoundPort> FindGreetingPort(const std::vector<std::string>& /*names*/,
                                     const SerialOpener& /*open*/,
                                     const std::function<bool()>& /*stop*/) {
    return Result::Failed(std::string(texts::kHandheldNotFound).append(texts::kNoPortToSearch));
}

}  // namespace kestrel
