#pragma once
// The KESTREL dialog: three boxes (PC file, device file name, device
// directory), the port list, Browse, Download, Upload, Exit, and the status
// line through which every step of a transfer is shown.
//
// Promises:
// - Download and Upload read the boxes only when pressed and make the
//   request through the front-end core (request_form.h); a refused request
//   starts nothing and says why on the status line.
// - One transfer at a time: Download, Upload and Browse are disabled while
//   it runs and enabled again when it has ended, with the focus back on the
//   button that started it. The title shows the share of a file sent; the
//   end stays on the status line with its reason ("终止传输：...").
// - While a run goes, Exit reads "取消": it, and Escape, cancel the run and
//   leave the dialog open.
// - Browse, and a file dropped on the dialog, fill the three boxes with the
//   core's proposal for the picked file; a cancelled pick changes nothing.
//   Several files dropped at once are sent at once, each where the core
//   proposes, in one handheld session.
// - Closing (the close box, or Exit when no run goes) cancels a running
//   transfer and returns only once it has ended, so the port's settings are
//   back first.
// - The last port, device directory and the UTF-8 choice for fetched text
//   are remembered per user, from one run that starts to the next time the
//   dialog opens.
// - Everything that reaches outside (ports, files, the picker) comes through
//   DialogServices, so tests can stand in for it.

#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/core/program_setup.h"
#include "app/qt/dialog_controls.h"
#include "app/qt/dialog_status.h"
#include "app/qt/file_picking.h"
#include "app/core/request_form.h"
#include "app/core/transfer_thread.h"
#include "link/open_port.h"

namespace kestrel {

struct DialogServices {
    std::function<std::vector<std::string>()> listSerialPorts = ListSerialPorts;
    std::filesystem::path stableNameFolder = "/dev/serial/by-id";
    ProgramFiles files;
    FilePicker pickFile = PickFileWithDialog;
    QString settingsFile;  // empty: the user's own settings
};

// What the installed program uses (program_setup.h).
DialogServices DesktopServices();

class MainDialog : public QDialog {
    Q_OBJECT

  public:
    explicit MainDialog(DialogServices services, QWidget* parent = nullptr);
    ~MainDialog() override;

    bool TransferRunning() const { return run_ != nullptr; }
    // Ends the dialog; a running transfer is cancelled and waited for first.
    void done(int result) override;

  signals:
    void TransferEnded(kestrel::TransferOutcome outcome);
    void RunFinished();  // internal: the run's thread has ended

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void StartTransfer(Direction direction, QPushButton* pressed);
    void SendDroppedFiles(const std::vector<std::filesystem::path>& files);
    void Run(std::variant<TransferRequest, Refusal> request, QPushButton* pressed);
    void OnTransferEnded(const TransferEnd& end);
    void ExitOrCancel();
    void Browse();
    void UsePickedFile(const std::filesystem::path& picked);
    void SetRunning(bool running);
    void StopTransfer();
    void Recall();
    void Remember(const PortChoice& port);

    DialogServices services_;
    DialogControls controls_;
    DialogStatus status_;
    std::optional<std::filesystem::path> picked_;  // the file last picked or dropped
    QPushButton* pressed_ = nullptr;               // the button that started the run
    std::unique_ptr<TransferThread> run_;  // after status_: the run ends before the sink goes
    bool closing_ = false;
};

}  // namespace kestrel
