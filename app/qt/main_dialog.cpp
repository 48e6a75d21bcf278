#include "app/qt/main_dialog.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <variant>

#include "app/core/about.h"
#include "app/core/app_texts.h"
#include "app/qt/dialog_texts.h"
#include "app/qt/port_choices.h"
#include "app/qt/qt_text.h"
#include "app/core/remembered.h"
#include "app/core/run_texts.h"

namespace kestrel {
namespace {

PortLister ListerFor(const DialogServices& services) {
    return [list = services.listSerialPorts, folder = services.stableNameFolder] {
        return ListPortChoices(list(), folder);
    };
}

// The local files a drop carries; empty when it carries anything else.
std::vector<std::filesystem::path> DroppedFiles(const QMimeData& data) {
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : data.urls()) {
        std::error_code error;
        std::filesystem::path path = PathFromQString(url.toLocalFile());
        if (!url.isLocalFile() || !std::filesystem::is_regular_file(path, error)) return {};
        files.push_back(std::move(path));
    }
    return files;
}

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (file.isEmpty()) return std::make_unique<QSettings>("KESTREL", "kestrel");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

const auto kPortKey = QStringLiteral("port");
const auto kDirectoryKey = QStringLiteral("directory");
const auto kFetchAsUtf8Key = QStringLiteral("fetchAsUtf8");

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
      status_(*controls_.status, *this) {
    setWindowTitle(QStringFromGbk(WindowTitle(std::nullopt)));
    setAcceptDrops(true);
    connect(controls_.download, &QPushButton::clicked, this,
            [this] { StartTransfer(Direction::send, controls_.download); });
    connect(controls_.upload, &QPushButton::clicked, this,
            [this] { StartTransfer(Direction::receive, controls_.upload); });
    connect(controls_.browse, &QPushButton::clicked, this, &MainDialog::Browse);
    connect(controls_.exit, &QPushButton::clicked, this, &MainDialog::ExitOrCancel);
    // Qt has no system menu of its own to put it in: the dialog's context menu.
    auto* about = new QAction(QStringFromGbk(kAboutTitle), this);
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, QStringFromGbk(kAboutTitle), QStringFromGbk(AboutText()));
    });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    Recall();
}

MainDialog::~MainDialog() {
    StopTransfer();
}

void MainDialog::Recall() {
    const auto settings = OpenSettings(services_.settingsFile);
    const std::string port = settings->value(kPortKey).toString().toStdString();
    if (const auto choice = PortFromSetting(port)) controls_.port->Choose(*choice);
    if (settings->contains(kDirectoryKey)) {
        controls_.deviceDirectory->setEditText(settings->value(kDirectoryKey).toString());
    }
    controls_.fetchAsUtf8->setChecked(settings->value(kFetchAsUtf8Key, false).toBool());
}

void MainDialog::Remember(const PortChoice& port) {
    const auto settings = OpenSettings(services_.settingsFile);
    settings->setValue(kPortKey, QString::fromStdString(PortSetting(port)));
    settings->setValue(kDirectoryKey, controls_.deviceDirectory->currentText());
    settings->setValue(kFetchAsUtf8Key, controls_.fetchAsUtf8->isChecked());
}

void MainDialog::StartTransfer(Direction direction, QPushButton* pressed) {
    if (run_ || closing_) return;
    const RequestBoxes boxes{UserTextFromQString(controls_.pcPath->text()),
                             UserTextFromQString(controls_.deviceName->text()),
                             UserTextFromQString(controls_.deviceDirectory->currentText())};
    const auto port = controls_.port->ChosenPort();
    if (!port) return;
    const TextHandling text{false, controls_.fetchAsUtf8->isChecked()};
    Run(RequestFromBoxes(direction, boxes, *port, picked_, text), pressed);
}

void MainDialog::SendDroppedFiles(const std::vector<std::filesystem::path>& files) {
    if (run_ || closing_) return;
    const auto port = controls_.port->ChosenPort();
    if (!port) return;
    Run(RequestFromArguments(Direction::send, Arguments{files, {}, {}, {}}, *port),
        controls_.download);
}

void MainDialog::Run(std::variant<TransferRequest, Refusal> request, QPushButton* pressed) {
    if (const auto* refusal = std::get_if<Refusal>(&request)) {
        controls_.status->setText(QStringFromGbk(RefusalText(*refusal)));
        return;
    }
    Remember(std::get<TransferRequest>(request).port);
    pressed_ = pressed;
    SetRunning(true);
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
    // The end stays on the line with its reason, not only "终止传输".
    controls_.status->setText(QStringFromGbk(EndText(end)));
    setWindowTitle(QStringFromGbk(WindowTitle(std::nullopt)));
    SetRunning(false);
    if (pressed_ != nullptr) pressed_->setFocus();
    emit TransferEnded(end.outcome);
}

void MainDialog::ExitOrCancel() {
    if (run_) {
        run_->Cancel();  // the dialog stays; the run ends and puts the port back
        return;
    }
    reject();
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
    controls_.pcPath->end(false);  // the file's name, not the start of its folders
    controls_.deviceName->setText(QStringFromUserText(proposal->boxes.deviceName));
    controls_.deviceDirectory->setEditText(QStringFromUserText(proposal->boxes.deviceDirectory));
    picked_ = picked;
}

void MainDialog::SetRunning(bool running) {
    controls_.download->setEnabled(!running);
    controls_.upload->setEnabled(!running);
    controls_.browse->setEnabled(!running);
    controls_.exit->setText(QStringFromGbk(running ? texts::kCancel : texts::kExit));
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
    // Escape cancels a run, as the button does then; it never ends the dialog.
    if (event->key() == Qt::Key_Escape) {
        if (run_) run_->Cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!run_ && !DroppedFiles(*event->mimeData()).empty()) event->acceptProposedAction();
}

// One file is a picked file; several are sent at once, each to the place
// proposed for it, in one handheld session.
void MainDialog::dropEvent(QDropEvent* event) {
    if (run_) return;
    const std::vector<std::filesystem::path> files = DroppedFiles(*event->mimeData());
    if (files.empty()) return;
    event->acceptProposedAction();
    if (files.size() == 1) {
        UsePickedFile(files.front());
    } else {
        SendDroppedFiles(files);
    }
}

}  // namespace kestrel
