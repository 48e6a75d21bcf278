#pragma once
// The dialog's remembered choices in the user's part of the registry:
// HKEY_CURRENT_USER\<key>, values "Port", "Directory" and "FetchAsUtf8"
// ("1" or "0"). A key or value that is not there is not remembered; a
// write that fails is not worth a word.

#include <string>

#include "app/core/remembered.h"

namespace kestrel {

class RegistryStore final : public ChoiceStore {
  public:
    explicit RegistryStore(std::wstring key) : key_(std::move(key)) {}
    RememberedChoices Read() override;
    void Write(const RememberedChoices& changed) override;

  private:
    std::wstring key_;
};

}  // namespace kestrel
