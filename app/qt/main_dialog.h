#pragma once
// The KESTREL dialog for Linux and macOS: the widgets of the dialog's
// template, the face of the controller (app/core/dialog_controller.h),
// which holds every rule. This class relays the user's gestures to it,
// shows what it asks, and runs each request on a thread of its own.
//
// Promises:
// - A run's texts reach the controller on the dialog's thread; the run
//   waits until each is taken.
// - Closing (the close box, or 退出 when no run goes) cancels a running
//   transfer and ends the dialog once it has ended, so the port's settings
//   are back first; so does destroying the dialog.
// - The remembered choices live in the user's QSettings (or the INI file
//   the services name), under "port", "directory" and "fetchAsUtf8".
// - Everything that reaches outside (ports, files, the picker) comes through
//   DialogServices, so tests can stand in for it.

#include <QDialog>
#include <QString>
#include <memory>

#include "app/core/dialog_controller.h"
#include "app/core/program_setup.h"
#include "app/core/status_relay.h"
#include "app/core/transfer_thread.h"
#include "app/qt/dialog_controls.h"
#include "app/qt/file_picking.h"

namespace kestrel {

struct DialogServices {
    PortSource ports;
    ProgramFiles files;
    FilePicker pickFile = PickFileWithDialog;
    QString settingsFile;  // empty: the user's own settings
};

// What the installed program uses (program_setup.h).
DialogServices DesktopServices();

// The remembered choices in QSettings.
class SettingsStore final : public ChoiceStore {
  public:
    explicit SettingsStore(QString file) : file_(std::move(file)) {}
    RememberedChoices Read() override;
    void Write(const RememberedChoices& changed) override;

  private:
    QString file_;
};

class MainDialog : public QDialog {
    Q_OBJECT

  public:
    explicit MainDialog(DialogServices services, QWidget* parent = nullptr);
    ~MainDialog() override;

    bool TransferRunning() const { return controller_.Running(); }
    // Asks the controller, which ends the dialog once no run goes.
    void done(int result) override;

  signals:
    void RunFinished();  // internal: the run's thread has ended

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    class View;  // what the controller sees of these widgets

    void Connect();
    void StopTransfer();

    DialogServices services_;
    DialogControls controls_;
    SettingsStore store_;
    std::unique_ptr<View> view_;
    DialogController controller_;
    StatusRelay status_;
    std::unique_ptr<TransferThread> run_;  // after status_: the run ends before the sink goes
};

}  // namespace kestrel
