#include "app/qt/main_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <variant>

#include "app/qt/dialog_texts.h"
#include "app/qt/port_choices.h"
#include "app/qt/qt_text.h"

namespace kestrel {
namespace {

PortLister ListerFor(const DialogServices& services) {
    return [list = services.listSerialPorts, folder = services.stableNameFolder] {
        return ListPortChoices(list(), folder);
    };
}

// The one local file a drop carries, if that is what it carries.
std::optional<std::filesystem::path> DroppedFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    std::filesystem::path path = PathFromQString(urls.front().toLocalFile());
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    return path;
}

}  // namespace

DialogServices DesktopServices() {
    DialogServices services;
    services.files = InstalledProgramFiles();
    return services;
}

MainDialog::MainDialog(DialogServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      controls_(BuildControls(*this, ListerFor(services_))),
      status_(*controls_.status) {
    setWindowTitle(QStringFromGbk(texts::kDialogCaption));
    setAcceptDrops(true);
    connect(controls_.download, &QPushButton::clicked, this,
            [this] { StartTransfer(Direction::send); });
    connect(controls_.upload, &QPushButton::clicked, this,
            [this] { StartTransfer(Direction::receive); });
    connect(controls_.browse, &QPushButton::clicked, this, &MainDialog::Browse);
    connect(controls_.exit, &QPushButton::clicked, this, &MainDialog::reject);
}

MainDialog::~MainDialog() {
    StopTransfer();
}

void MainDialog::StartTransfer(Direction direction) {
    if (run_ || closing_) return;
    const RequestBoxes boxes{UserTextFromQString(controls_.pcPath->text()),
                             UserTextFromQString(controls_.deviceName->text()),
                             UserTextFromQString(controls_.deviceDirectory->currentText())};
    const auto port = controls_.port->ChosenPort();
    if (!port) return;
    auto request = RequestFromBoxes(direction, boxes, *port, picked_);
    if (std::holds_alternative<Refusal>(request)) return;  // refused without a word

    SetCommandsEnabled(false);
    run_ = std::make_unique<TransferThread>(
        std::get<TransferRequest>(std::move(request)), LoadSetup(services_.files), status_,
        [this](const TransferEnd& end) {
            QMetaObject::invokeMethod(
                this, [this, end] { OnTransferEnded(end); }, Qt::QueuedConnection);
        });
}

void MainDialog::OnTransferEnded(const TransferEnd& end) {
    run_.reset();  // its thread has ended: this joins at once
    emit RunFinished();
    if (closing_) return;
    SetCommandsEnabled(true);
    emit TransferEnded(end.outcome);
}

void MainDialog::Browse() {
    if (run_) return;
    if (const auto picked = services_.pickFile(this, controls_.pcPath->text())) {
        UsePickedFile(*picked);
    }
}

void MainDialog::UsePickedFile(const std::filesystem::path& picked) {
    const std::optional<Proposal> proposal = ProposeForPickedFile(picked);
    if (!proposal) return;
    controls_.pcPath->setText(QStringFromUserText(proposal->boxes.pcPath));
    controls_.deviceName->setText(QStringFromUserText(proposal->boxes.deviceName));
    controls_.deviceDirectory->setEditText(QStringFromUserText(proposal->boxes.deviceDirectory));
    picked_ = picked;
}

void MainDialog::SetCommandsEnabled(bool enabled) {
    controls_.download->setEnabled(enabled);
    controls_.upload->setEnabled(enabled);
    controls_.browse->setEnabled(enabled);
}

// The worker may be waiting for this thread to take a text, so this thread
// keeps its events flowing (the sink drops texts from now on) until the
// worker has restored and closed the port and ended.
void MainDialog::StopTransfer() {
    closing_ = true;
    status_.StopShowing();
    if (!run_) return;
    QEventLoop untilEnded;
    connect(this, &MainDialog::RunFinished, &untilEnded, &QEventLoop::quit);
    run_->Cancel();
    untilEnded.exec();
}

void MainDialog::done(int result) {
    if (closing_) return;
    StopTransfer();
    QDialog::done(result);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // only Exit and the close box end the dialog
    QDialog::keyPressEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!run_ && DroppedFile(*event->mimeData())) event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
    if (run_) return;
    if (const auto file = DroppedFile(*event->mimeData())) {
        UsePickedFile(*file);
        event->acceptProposedAction();
    }
}

}  // namespace kestrel
