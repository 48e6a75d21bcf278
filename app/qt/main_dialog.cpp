#include "app/qt/main_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <variant>

#include "app/device_naming.h"
#include "app/program_files.h"
#include "app/qt/dialog_texts.h"
#include "app/qt/port_choices.h"
#include "app/qt/qt_text.h"
#include "app/request_form.h"

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
    services.handheldRoot = UserDataFolder() / "handheld";
    services.tableFolders = TableFolders();
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
            [this] { StartTransfer(TransferMode::down); });
    connect(controls_.upload, &QPushButton::clicked, this,
            [this] { StartTransfer(TransferMode::up); });
    connect(controls_.browse, &QPushButton::clicked, this, &MainDialog::Browse);
    connect(controls_.exit, &QPushButton::clicked, this, &MainDialog::reject);
    connect(&transfer_, &DialogTransfer::Finished, this, [this](TransferOutcome outcome) {
        SetCommandsEnabled(true);
        emit TransferEnded(outcome);
    });
}

MainDialog::~MainDialog() {
    StopTransfer();
}

void MainDialog::StartTransfer(TransferMode mode) {
    if (transfer_.Running() || closing_) return;
    const RequestBoxes boxes{UserTextFromQString(controls_.pcPath->text()),
                             UserTextFromQString(controls_.deviceName->text()),
                             UserTextFromQString(controls_.deviceDirectory->currentText())};
    const auto form = ReadRequestForm(boxes);
    const auto* accepted = std::get_if<AcceptedRequest>(&form);
    const auto port = controls_.port->ChosenPortName();
    if (accepted == nullptr || !port) return;  // refused without a word

    TransferSetup setup;
    setup.openPort = DialogPortOpener(services_.handheldRoot, services_.openSerialPort);
    setup.tempDirectory = services_.tempDirectory;
    SetCommandsEnabled(false);
    transfer_.Start(TransferRequest{*port, mode, accepted->pcPath, accepted->deviceName,
                                    accepted->deviceDirectory},
                    std::move(setup), services_.tableFolders, status_);
}

void MainDialog::Browse() {
    if (transfer_.Running()) return;
    if (const auto picked = services_.pickFile(this, controls_.pcPath->text())) {
        UsePickedFile(*picked);
    }
}

void MainDialog::UsePickedFile(const std::filesystem::path& picked) {
    const auto proposal = ProposeDeviceNames(picked);
    if (const auto* names = std::get_if<ProposedNames>(&proposal)) {
        controls_.pcPath->setText(QStringFromPath(PathForPcBox(picked, names->pcPath)));
        controls_.deviceName->setText(QStringFromGbk(names->deviceName));
        controls_.deviceDirectory->setEditText(QStringFromGbk(names->deviceDirectory));
    } else if (std::get<Refusal>(proposal) == Refusal::pcFileNameNotGbk) {
        // Nothing to propose, but the file can still go under a name typed in.
        controls_.pcPath->setText(QStringFromPath(picked));
    }
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
    if (!transfer_.Running()) return;
    QEventLoop untilEnded;
    connect(&transfer_, &DialogTransfer::Finished, &untilEnded, &QEventLoop::quit);
    transfer_.Cancel();
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
    if (!transfer_.Running() && DroppedFile(*event->mimeData())) event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
    if (transfer_.Running()) return;
    if (const auto file = DroppedFile(*event->mimeData())) {
        UsePickedFile(*file);
        event->acceptProposedAction();
    }
}

}  // namespace kestrel
