#pragma once
// The status line of a run on the page: each GBK text shown whole, as UTF-8,
// and the share done of a file in the page's title.

#include "status/status_sink.h"

namespace kestrel::web {

class PageStatus final : public StatusSink {
  public:
    void ShowStatus(std::string_view gbkText) override;
    void ShowProgress(std::string_view gbkText, Progress progress) override;
};

}  // namespace kestrel::web
