#pragma once
// A status sink for the benchmarks: keeps the latest text, as a status line
// would, and nothing else, so that the PC side's cost is not a console's.

#include <string>
#include <string_view>

#include "status/status_sink.h"

namespace kestrel::bench {

class LatestStatus final : public StatusSink {
  public:
    void ShowStatus(std::string_view gbkText) override { latest_.assign(gbkText); }
    const std::string& Latest() const { return latest_; }

  private:
    std::string latest_;
};

}  // namespace kestrel::bench
