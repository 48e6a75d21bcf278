#pragma once
// The status line: the one channel through which a transfer reports each
// step. Every front end supplies its own sink; tests record the texts. Texts
// are GBK bytes; a front end converts them at its edge.
//
// Promises: ShowStatus() replaces the whole line and returns once the text
// has been taken, so callers may pass short-lived buffers. ShowProgress()
// carries the "%5dk" count together with the figures behind it; a sink that
// has no use for the figures shows the text, as a plain status text.
// ShowHint() says more about the step shown before it (where the run
// listens, what the user should do): a sink of one line may join the two,
// any other shows it as a text of its own.

#include <cstdint>
#include <string_view>

namespace kestrel {

struct Progress {
    std::uint64_t done = 0;   // bytes moved so far in this file
    std::uint64_t total = 0;  // the file's size; 0 when not known (a receive)
};

class StatusSink {
  public:
    virtual ~StatusSink() = default;
    virtual void ShowStatus(std::string_view gbkText) = 0;
    virtual void ShowProgress(std::string_view gbkText, Progress /*progress*/) {
        ShowStatus(gbkText);
    }
    virtual void ShowHint(std::string_view gbkText) { ShowStatus(gbkText); }
};

}  // namespace kestrel
