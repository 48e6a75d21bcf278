#include "page_status.h"

#include <string>

#include "app/core/gbk_text.h"
#include "app/core/run_texts.h"
#include "page_view.h"

namespace kestrel::web {

void PageStatus::ShowStatus(std::string_view gbkText) {
    endLine_.Saw(gbkText);
    // A text that is not GBK is a fault of the program, but still shown.
    PageView::ShowStatus(GbkToUtf8(gbkText).value_or(std::string(gbkText)));
}

void PageStatus::ShowProgress(std::string_view gbkText, Progress progress) {
    ShowStatus(gbkText);
    PageView::ShowTitle(WindowTitle(PercentDone(progress)));
}

}  // namespace kestrel::web
