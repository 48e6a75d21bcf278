#include "app/qt/main_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QSignalBlocker>
#include <QThread>
#include <QUrl>
#include <QValidator>

#include "app/qt/qt_text.h"

namespace kestrel {
namespace {

const auto kPortKey = QStringLiteral("port");
const auto kDirectoryKey = QStringLiteral("directory");
const auto kFetchAsUtf8Key = QStringLiteral("fetchAsUtf8");

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (file.isEmpty()) return std::make_unique<QSettings>("KESTREL", "kestrel");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

// The files a drop carries; a URL that is no local file has no path.
std::vector<std::filesystem::path> DroppedFiles(const QMimeData& data) {
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : data.urls()) files.push_back(PathFromQString(url.toLocalFile()));
    return files;
}

// A box's typing, put to the controller before it lands: a rejected edit
// leaves the box as it was.
class BoxValidator : public QValidator {
  public:
    BoxValidator(DialogController& controller, Box box, QObject* parent)
        : QValidator(parent), controller_(controller), box_(box) {}
    State validate(QString& input, int& /*position*/) const override {
        return controller_.Edit(box_, UserTextFromQString(input)) ? Acceptable : Invalid;
    }

  private:
    DialogController& controller_;
    Box box_;
};

}  // namespace

class MainDialog::View final : public DialogView {
  public:
    explicit View(MainDialog& dialog) : d_(dialog), c_(dialog.controls_) {}

    void ShowBox(Box box, const UserText& text) override {
        const std::array<QLineEdit*, 3> lines{c_.pcPath, c_.deviceName,
                                              c_.deviceDirectory->lineEdit()};
        QLineEdit* line = lines[static_cast<std::size_t>(box)];
        line->setText(QStringFromUserText(text));
        line->end(false);  // a path shows its file's name, not the start of its folders
    }
    void ShowDirectoryChoices(const std::vector<UserText>& directories) override {
        const QSignalBlocker quiet(c_.deviceDirectory);
        for (const UserText& directory : directories) {
            c_.deviceDirectory->addItem(QStringFromUserText(directory));
        }
        c_.deviceDirectory->setCurrentIndex(-1);  // the list offers; the box starts empty
    }
    void ShowPorts(const std::vector<PortListEntry>& ports, std::size_t chosen) override {
        c_.port->Show(ports, chosen);
    }
    void ShowFetchAsUtf8(bool checked) override { c_.fetchAsUtf8->setChecked(checked); }
    void ShowStatus(std::string_view gbkText) override {
        c_.status->setText(QStringFromGbk(gbkText));
    }
    void ShowTitle(std::string_view gbkText) override {
        d_.setWindowTitle(QStringFromGbk(gbkText));
    }
    void ShowExitText(std::string_view gbkText) override {
        Button(Control::exit)->setText(QStringFromGbk(gbkText));
    }
    void Enable(Control control, bool enabled) override { Button(control)->setEnabled(enabled); }
    void Focus(Control control) override { Button(control)->setFocus(); }
    void Ask(std::string_view gbkQuestion, std::function<void(bool yes)> answer) override {
        QMessageBox question(QMessageBox::Question, d_.windowTitle(), QStringFromGbk(gbkQuestion),
                             QMessageBox::Yes | QMessageBox::No, &d_);
        question.setDefaultButton(QMessageBox::No);
        answer(question.exec() == QMessageBox::Yes);
    }
    void PickFile(const UserText& initial,
                  std::function<void(std::optional<std::filesystem::path>)> picked) override {
        picked(d_.services_.pickFile(&d_, QStringFromUserText(initial)));
    }
    void ShowAbout(std::string_view gbkTitle, std::string_view gbkText) override {
        QMessageBox::about(&d_, QStringFromGbk(gbkTitle), QStringFromGbk(gbkText));
    }
    void Run(TransferRequest request, std::shared_ptr<CancelSwitch> cancel) override {
        d_.run_ = std::make_unique<TransferThread>(
            std::move(request), LoadSetup(d_.services_.files), d_.status_,
            [this](const Result& end) {
                QMetaObject::invokeMethod(
                    &d_,
                    [this, end] {
                        d_.run_.reset();  // its thread has ended: this joins at once
                        emit d_.RunFinished();
                        d_.controller_.OnRunEnded(end);
                    },
                    Qt::QueuedConnection);
            },
            std::move(cancel));
    }
    void Close() override { d_.QDialog::done(QDialog::Rejected); }

  private:
    QPushButton* Button(Control control) { return c_.commands[static_cast<std::size_t>(control)]; }

    MainDialog& d_;
    DialogControls& c_;
};

DialogServices DesktopServices() {
    DialogServices services;
    services.files = InstalledProgramFiles();
    return services;
}

RememberedChoices SettingsStore::Read() {
    const auto settings = OpenSettings(file_);
    RememberedChoices choices;
    if (settings->contains(kPortKey)) {
        choices.port = settings->value(kPortKey).toString().toStdString();
    }
    if (settings->contains(kDirectoryKey)) {
        choices.directory = UserTextFromQString(settings->value(kDirectoryKey).toString());
    }
    if (settings->contains(kFetchAsUtf8Key)) {
        choices.fetchAsUtf8 = settings->value(kFetchAsUtf8Key).toBool();
    }
    return choices;
}

void SettingsStore::Write(const RememberedChoices& changed) {
    const auto settings = OpenSettings(file_);
    if (changed.port) settings->setValue(kPortKey, QString::fromStdString(*changed.port));
    if (changed.directory) {
        settings->setValue(kDirectoryKey, QStringFromUserText(*changed.directory));
    }
    if (changed.fetchAsUtf8) settings->setValue(kFetchAsUtf8Key, *changed.fetchAsUtf8);
}

MainDialog::MainDialog(DialogServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      controls_(BuildControls(*this)),
      store_(services_.settingsFile),
      view_(std::make_unique<View>(*this)),
      controller_(*view_, store_, services_.ports),
      status_(controller_, [this](const std::function<void()>& show) {
          // A blocking hand-over to the dialog's own thread would wait on itself.
          if (QThread::currentThread() == thread()) return show();
          QMetaObject::invokeMethod(this, show, Qt::BlockingQueuedConnection);
      }) {
    setAcceptDrops(true);
    Connect();
    controller_.Start();
}

MainDialog::~MainDialog() {
    StopTransfer();
}

void MainDialog::Connect() {
    DialogControls& c = controls_;
    connect(c.pcPath, &QLineEdit::textEdited, this, [this](const QString& text) {
        controller_.Edit(Box::pcPath, UserTextFromQString(text));
    });
    connect(c.pcPath, &QLineEdit::editingFinished, this, [this] { controller_.CommitPcPath(); });
    c.deviceName->setValidator(new BoxValidator(controller_, Box::deviceName, this));
    c.deviceDirectory->lineEdit()->setValidator(
        new BoxValidator(controller_, Box::deviceDirectory, this));
    connect(c.deviceDirectory, &QComboBox::textActivated, this, [this](const QString& text) {
        controller_.Edit(Box::deviceDirectory, UserTextFromQString(text));
    });
    connect(c.port, &QComboBox::activated, this,
            [this](int index) { controller_.ChoosePort(static_cast<std::size_t>(index)); });
    c.port->onOpen = [this] { controller_.RefreshPorts(); };
    connect(c.fetchAsUtf8, &QCheckBox::clicked, this,
            [this](bool on) { controller_.SetFetchAsUtf8(on); });
    connect(c.commands[0], &QPushButton::clicked, this, [this] { controller_.Download(); });
    connect(c.commands[1], &QPushButton::clicked, this, [this] { controller_.Upload(); });
    connect(c.commands[2], &QPushButton::clicked, this, [this] { controller_.Browse(); });
    connect(c.commands[3], &QPushButton::clicked, this, [this] { controller_.ExitOrCancel(); });
    connect(c.about, &QPushButton::clicked, this, [this] { controller_.About(); });
}

void MainDialog::done(int /*result*/) {
    controller_.RequestClose();
}

// The worker may be waiting for this thread to take a text, so this thread
// keeps its events flowing (the relay drops texts from now on) until the
// worker has restored and closed the port and ended.
void MainDialog::StopTransfer() {
    status_.Stop();
    if (!run_) return;
    QEventLoop untilEnded;
    connect(this, &MainDialog::RunFinished, &untilEnded, &QEventLoop::quit);
    run_->Cancel();
    untilEnded.exec();
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // Escape is the controller's to judge; it never ends the dialog here.
    if (event->key() == Qt::Key_Escape) return controller_.Escape();
    QDialog::keyPressEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    controller_.Drop(DroppedFiles(*event->mimeData()));
}

}  // namespace kestrel
