#include "app/core/run_texts.h"

#include "transfer/transfer_texts.h"

namespace kestrel {

void EndLine::Saw(std::string_view gbkText) {
    if (gbkText == texts::kAborted) aborted_ = true;
    if (gbkText == texts::kConvertedFromUtf8) converted_ = true;
}

std::string EndLine::Text(const Result& end) const {
    if (end.IsOk()) {
        return std::string(texts::kSucceeded) +
               std::string(converted_ ? texts::kConvertedFromUtf8 : std::string_view());
    }
    if (!aborted_) return end.Reason();
    if (end.Reason().empty()) return std::string(texts::kAborted);
    return std::string(texts::kAbortedBecause) + end.Reason();
}

std::optional<int> PercentDone(Progress progress) {
    if (progress.total == 0) return std::nullopt;
    if (progress.done >= progress.total) return 100;
    return static_cast<int>(progress.done * 100 / progress.total);
}

std::string WindowTitle(std::optional<int> percent) {
    std::string title = "KESTREL";
    // Appended piece by piece: " " + a temporary string is what GCC 12 at -O3
    // takes for an overlapping copy (-Wrestrict), though it is not one.
    if (percent) title.append(" ").append(std::to_string(*percent)).append("%");
    return title;
}

}  // namespace kestrel
