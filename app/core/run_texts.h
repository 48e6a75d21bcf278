#pragma once
// What the dialogs show of a run beyond the texts the run shows itself: the
// end that stays on the status line, with the reason, and the share done in
// the window's title. GBK texts, like every status text.

#include <optional>
#include <string>
#include <string_view>

#include "status/result.h"
#include "status/status_sink.h"

namespace kestrel {

// The line a dialog keeps once a run has ended, from what the run showed
// (Saw, every status text in order) and how it ended: "传输成功。" (and
// what a user should know of it: "已将UTF-8文本转换为GBK"); "终止传输：" and
// the reason; or, when the run ended before it began (a port that could not
// be opened), its own text ("无法打开串口...").
class EndLine {
  public:
    void Saw(std::string_view gbkText);
    std::string Text(const Result& end) const;

  private:
    bool aborted_ = false;    // "终止传输" was shown
    bool converted_ = false;  // "已将UTF-8文本转换为GBK" was shown
};

// The share of the file done, 0 to 100; nullopt when the size is not known.
std::optional<int> PercentDone(Progress progress);

// "KESTREL", or "KESTREL 45%" while a file of known size moves.
std::string WindowTitle(std::optional<int> percent);

}  // namespace kestrel
