#include "app/core/run_texts.h"

#include "transfer/transfer_texts.h"

namespace kestrel {

std::string EndText(const TransferEnd& end) {
    switch (end.outcome) {
        case TransferOutcome::succeeded:
            return std::string(texts::kSucceeded) + end.note;
        case TransferOutcome::portUnavailable:
            return end.reason;
        case TransferOutcome::failed:
        case TransferOutcome::cancelled:
            break;
    }
    if (end.reason.empty()) return std::string(texts::kAborted);
    return std::string(texts::kAbortedBecause) + end.reason;
}

std::optional<int> PercentDone(Progress progress) {
    if (progress.total == 0) return std::nullopt;
    if (progress.done >= progress.total) return 100;
    return static_cast<int>(progress.done * 100 / progress.total);
}

std::string WindowTitle(std::optional<int> percent) {
    std::string title = "KESTREL";
    if (percent) title += " " + std::to_string(*percent) + "%";
    return title;
}

}  // namespace kestrel
