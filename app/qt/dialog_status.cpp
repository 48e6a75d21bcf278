#include "app/qt/dialog_status.h"

#include <QMetaObject>
#include <QThread>

#include "app/qt/qt_text.h"
#include "app/core/run_texts.h"

namespace kestrel {

void DialogStatus::ShowStatus(std::string_view gbkText) {
    Show(gbkText, std::nullopt);
}

void DialogStatus::ShowProgress(std::string_view gbkText, Progress progress) {
    Show(gbkText, PercentDone(progress));
}

void DialogStatus::Show(std::string_view gbkText, std::optional<int> percent) {
    if (stopped_.load()) return;
    const QString text = QStringFromGbk(gbkText);
    const std::optional<QString> title =
        percent ? std::optional(QStringFromGbk(WindowTitle(percent))) : std::nullopt;
    auto show = [this, text, title] {
        if (stopped_.load()) return;
        line_.setText(text);
        if (title) window_.setWindowTitle(*title);
    };
    // A blocking hand-over to the dialog's own thread would wait on itself.
    if (QThread::currentThread() == line_.thread()) {
        show();
        return;
    }
    QMetaObject::invokeMethod(&line_, show, Qt::BlockingQueuedConnection);
}

}  // namespace kestrel
