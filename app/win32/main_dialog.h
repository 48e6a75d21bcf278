#pragma once
// The KESTREL dialog (resource 101): the face of the controller
// (app/core/dialog_controller.h), which holds every rule. This class relays
// the messages of the user's gestures to it, shows what it asks in the
// template's controls, and runs each request on a thread of its own.
//
// Promises:
// - A run's texts reach the controller on the dialog's thread, in a sent
//   message: the run waits until each is taken.
// - The status line cuts a text too long for it with "..." and carries the
//   whole text as its tooltip. The window shows the program's icon.
// - Exit or the close box during a transfer cancels it, and the dialog ends
//   once the port is back as it was found; so does destroying the dialog.
// - The remembered choices live under HKCU\<settingsKey> (remembered_registry.h).

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "app/core/dialog_controller.h"
#include "app/core/program_setup.h"
#include "app/core/status_relay.h"
#include "app/core/transfer_thread.h"
#include "app/win32/file_picker.h"
#include "app/win32/remembered_registry.h"

namespace kestrel {

struct DialogSetup {
    ProgramFiles files = InstalledProgramFiles();
    FilePicker pickFile;  // empty: the open-file dialog
    // COM1 to COM4 always, then the serial ports present.
    PortSource ports{{"COM1", "COM2", "COM3", "COM4"}, ListSerialPorts, {}};
    // Where the choices are remembered, under HKCU.
    std::wstring settingsKey = L"Software\\KESTREL";
};

class MainDialog final {
  public:
    MainDialog(HINSTANCE instance, DialogSetup setup);
    ~MainDialog();  // destroys a dialog still shown, stopping its transfer first
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Shows the dialog modally; returns 0 once it has ended.
    int RunModal();
    // Creates the dialog shown but not modal; the caller dispatches its
    // messages. False when it could not be created.
    bool CreateModeless();

    // The dialog's window while it exists, null before and after.
    HWND Window() const { return window_; }
    bool TransferRunning() const { return controller_.Running(); }

  private:
    class View;  // what the controller sees of the dialog's controls

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialize();
    void OnCommand(int id, int code);
    void OnEdited(Box box, int id);
    void OnTransferEnded();
    void StopTransfer();

    HINSTANCE instance_;
    DialogSetup setup_;
    RegistryStore store_;
    std::unique_ptr<View> view_;
    DialogController controller_;
    bool modal_ = false;
    HWND window_ = nullptr;
    std::atomic<HWND> textsTo_{nullptr};  // where the run's texts are sent
    HWND statusTip_ = nullptr;            // the status line's whole text
    StatusRelay status_;
    std::unique_ptr<void, decltype(&CloseHandle)> runEnded_{nullptr, CloseHandle};
    std::unique_ptr<TransferThread> run_;  // set while a transfer runs
};

// The dialog created shown but not modal (for tests and tools); null when it
// could not be created.
std::unique_ptr<MainDialog> CreateMainDialog(HINSTANCE instance, DialogSetup setup);

// Shows the dialog modally until it ends; returns 0.
int RunMainDialog(HINSTANCE instance, DialogSetup setup);

}  // namespace kestrel
