// The page has no ports to search: the browser shows a port only when a
// person picks it (see web_serial_port.cpp), so nothing is listened to.
#include "link/port_finder.h"

namespace kestrel {

FoundPort FindGreetingPort(const std::vector<std::string>& /*names*/, const SerialOpener& /*open*/,
                           const std::function<bool()>& /*stop*/) {
    return {};
}

}  // namespace kestrel
