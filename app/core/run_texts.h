#pragma once
// What the dialogs show of a run beyond the texts the run shows itself: the
// end that stays on the status line, with the reason, and the share done in
// the window's title. GBK texts, like every status text.

#include <optional>
#include <string>

#include "status/status_sink.h"
#include "transfer/run_transfer.h"

namespace kestrel {

// "传输成功。" (and what a user should know of it: "已将UTF-8文本转换为GBK");
// "终止传输：" and the reason; a port that could not be opened keeps its own
// text ("无法打开串口...").
std::string EndText(const TransferEnd& end);

// The share of the file done, 0 to 100; nullopt when the size is not known.
std::optional<int> PercentDone(Progress progress);

// "KESTREL", or "KESTREL 45%" while a file of known size moves.
std::string WindowTitle(std::optional<int> percent);

}  // namespace kestrel
