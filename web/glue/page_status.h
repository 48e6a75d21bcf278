#pragma once
// The status line of a run on the page: each GBK text shown whole, as UTF-8,
// the share done of a file in the page's title, and the line kept once the
// run has ended.

#include <string>

#include "app/core/run_texts.h"
#include "status/status_sink.h"

namespace kestrel::web {

class PageStatus final : public StatusSink {
  public:
    void ShowStatus(std::string_view gbkText) override;
    void ShowProgress(std::string_view gbkText, Progress progress) override;
    std::string EndText(const Result& end) const { return endLine_.Text(end); }

  private:
    EndLine endLine_;
};

}  // namespace kestrel::web
