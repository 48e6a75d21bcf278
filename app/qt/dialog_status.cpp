#include "app/qt/dialog_status.h"

#include <QMetaObject>
#include <QThread>

#include "app/qt/qt_text.h"

namespace kestrel {

void DialogStatus::ShowStatus(std::string_view gbkText) {
    if (stopped_.load()) return;
    const QString text = QStringFromGbk(gbkText);
    auto show = [this, text] {
        if (!stopped_.load()) line_.setText(text);
    };
    // A blocking hand-over to the dialog's own thread would wait on itself.
    if (QThread::currentThread() == line_.thread()) {
        show();
        return;
    }
    QMetaObject::invokeMethod(&line_, show, Qt::BlockingQueuedConnection);
}

}  // namespace kestrel
