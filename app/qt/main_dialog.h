#pragma once
// The KESTREL dialog: three boxes (PC file, device file name, device
// directory), the port list, Browse, Download, Upload, Exit, and the status
// line through which every step of a transfer is shown.
//
// Promises:
// - Download and Upload read the boxes only when pressed and refuse
//   silently (nothing starts, the status line stays as it is) on an empty
//   box, a space in the name or directory, or text over 14 bytes of GBK.
// - One transfer at a time: Download, Upload and Browse are disabled while
//   it runs and enabled again when it has ended.
// - Browse, and a file dropped on the dialog, fill the three boxes with the
//   proposal for the picked file; a cancelled pick changes nothing.
// - Closing (Exit, the close box) cancels a running transfer and returns
//   only once it has ended, so the port's settings are back first. Escape
//   does nothing.
// - Everything that reaches outside (ports, files, the picker) comes through
//   DialogServices, so tests can stand in for it.

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/dialog_controls.h"
#include "app/qt/dialog_status.h"
#include "app/qt/dialog_transfer.h"
#include "app/qt/file_picking.h"
#include "link/open_port.h"
#include "transfer/transfer_worker.h"

namespace kestrel {

struct DialogServices {
    std::function<std::vector<std::string>()> listSerialPorts = ListSerialPorts;
    std::filesystem::path stableNameFolder = "/dev/serial/by-id";
    PortOpener openSerialPort = OpenSerialPort;
    std::filesystem::path handheldRoot;  // the virtual handheld's files
    std::vector<std::filesystem::path> tableFolders;
    std::optional<std::filesystem::path> tempDirectory;  // unset: the user's private one
    FilePicker pickFile = PickFileWithDialog;
};

// What the installed program uses: the virtual handheld's files in the
// user's data folder, the table beside the program or in the data folder.
DialogServices DesktopServices();

class MainDialog : public QDialog {
    Q_OBJECT

  public:
    explicit MainDialog(DialogServices services, QWidget* parent = nullptr);
    ~MainDialog() override;

    bool TransferRunning() const { return transfer_.Running(); }
    // Ends the dialog; a running transfer is cancelled and waited for first.
    void done(int result) override;

  signals:
    void TransferEnded(kestrel::TransferOutcome outcome);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void StartTransfer(TransferMode mode);
    void Browse();
    void UsePickedFile(const std::filesystem::path& picked);
    void SetCommandsEnabled(bool enabled);
    void StopTransfer();

    DialogServices services_;
    DialogControls controls_;
    DialogStatus status_;
    DialogTransfer transfer_;  // after status_: the run ends before the sink goes
    bool closing_ = false;
};

}  // namespace kestrel
