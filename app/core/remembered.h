#pragma once
// What the dialogs remember between runs, per user: the last port that
// completed a transfer, the last device directory, and the choice to write
// fetched text as UTF-8. Each face keeps them in its platform's settings
// store (an INI file, the registry) behind ChoiceStore; the form of the
// port's text is shared, so it lives here.

#include <optional>
#include <string>
#include <string_view>

#include "app/core/gbk_text.h"
#include "transfer/transfer_request.h"

namespace kestrel {

// "serial:" and the port's name, "auto" or "builtin"; UTF-8 like a settings
// store's text.
std::string PortSetting(const PortChoice& port);
// nullopt for a text that names no port.
std::optional<PortChoice> PortFromSetting(std::string_view setting);

// Each field unset: not remembered (when read), left as it is (when written).
struct RememberedChoices {
    std::optional<std::string> port;  // as PortSetting makes it
    std::optional<UserText> directory;
    std::optional<bool> fetchAsUtf8;
};

// A face's settings store. A value that cannot be read is not there; a
// write that fails is not worth a word.
class ChoiceStore {
  public:
    virtual ~ChoiceStore() = default;
    virtual RememberedChoices Read() = 0;
    virtual void Write(const RememberedChoices& changed) = 0;
};

}  // namespace kestrel
