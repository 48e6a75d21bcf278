#pragma once
// What the dialogs remember between runs, per user: the last port and the
// last device directory. Each dialog keeps the two texts in the platform's
// settings store; the form of the port's text is shared, so it lives here.

#include <optional>
#include <string>
#include <string_view>

#include "transfer/transfer_request.h"

namespace kestrel {

// "serial:" and the port's name, "auto" or "builtin"; UTF-8 like a settings
// store's text.
std::string PortSetting(const PortChoice& port);
// nullopt for a text that names no port.
std::optional<PortChoice> PortFromSetting(std::string_view setting);

}  // namespace kestrel
