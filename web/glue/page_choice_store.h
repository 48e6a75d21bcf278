#pragma once
// The dialog's remembered choices in the browser's storage for this page
// (localStorage, under "kestrel.port", "kestrel.directory" and
// "kestrel.fetchAsUtf8"), as UTF-8. Storage the browser refuses (disabled,
// full) keeps nothing and says nothing, like every ChoiceStore.

#include "app/core/remembered.h"

namespace kestrel::web {

class PageChoiceStore final : public ChoiceStore {
  public:
    RememberedChoices Read() override;
    void Write(const RememberedChoices& changed) override;
};

}  // namespace kestrel::web
