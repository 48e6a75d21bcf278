#pragma once
// The status line: the one channel through which the transfer reports each
// step and each failure. Every front end supplies its own sink; tests record
// the texts. Texts are GBK bytes; a front end converts them at its edge.
// ShowStatus() replaces the whole line and returns once the text has been
// taken, so callers may pass short-lived buffers.

#include <string_view>

namespace kestrel {

class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void ShowStatus(std::string_view gbkText) = 0;
};

}  // namespace kestrel
