#pragma once
// Finding the port the handheld is on: every port named is opened (one that
// is busy or missing is skipped) and listened to at once; the first on which
// the handheld's greeting begins is kept, every other is closed at once,
// its settings put back, untouched by any write.
//
// Promises:
// - Blocks until a port is found, no port is left to listen to, or `stop`
//   returns true (it is asked at least every tenth of a second, from every
//   listening thread at once, so it must be safe to call concurrently).
// - Fails with "没有找到文曲星" when no port greeted; when none could be
//   opened at all, with "没有找到文曲星：没有可以打开的串口", the last port
//   tried and the OS's error for it. Cancelled when stopped.
// - The port found still holds the greeting byte that chose it: the first
//   read returns it, so the greeting is answered from its start.
// - Nothing is ever written to any port here.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/open_port.h"

namespace kestrel {

struct FoundPort {
    std::unique_ptr<Port> port;
    std::string name;  // the port's name, as given
};

using SerialOpener = std::function<ResultOf<std::unique_ptr<Port>>(std::string_view name)>;

ResultOf<FoundPort> FindGreetingPort(const std::vector<std::string>& names,
                                     const SerialOpener& open, const std::function<bool()>& stop);

}  // namespace kestrel
