#pragma once
// The KESTREL dialog (resource 101): three boxes, the port list, Browse,
// Download, Upload, Exit and the status line, through which every transfer
// reports.
//
// Promises:
// - Download and Upload make a request from the boxes and the selected port
//   through the front-end core (request_form.h) and start one transfer on a
//   thread of its own; a refused request starts nothing. While a transfer
//   runs, Download, Upload, Browse and dropping a file do nothing (the three
//   buttons are disabled).
// - Browse and a file dropped on the dialog fill the three boxes with the
//   core's proposal for the picked file; a cancelled pick leaves them as
//   they were. Several files dropped at once are sent at once, each where
//   the core proposes, in one handheld session.
// - The device name and directory boxes never hold more than 14 bytes of GBK.
// - Exit or the close box during a transfer cancels it, and the dialog ends
//   once the port is back as it was found.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "app/core/program_setup.h"
#include "app/core/request_form.h"
#include "app/core/transfer_thread.h"
#include "app/win32/dialog_status.h"
#include "app/win32/file_picker.h"

namespace kestrel {

struct DialogSetup {
    ProgramFiles files = InstalledProgramFiles();
    FilePicker pickFile;  // empty: the open-file dialog
    // The serial ports present; listed after COM1 to COM4.
    std::function<std::vector<std::string>()> listPorts = ListSerialPorts;
    // Where the last port and device directory are remembered, under HKCU.
    std::wstring settingsKey = L"Software\\KESTREL";
};

class MainDialog {
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
    bool TransferRunning() const { return run_ != nullptr; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Initialize();
    void OnCommand(int id, int code);
    void StartTransfer(Direction direction, int pressed);
    void Run(std::variant<TransferRequest, Refusal> request, int pressed);
    void Browse();
    void TakeDroppedFiles(HDROP drop);
    void ShowPickedFile(const std::filesystem::path& picked);
    void SetRunning(bool running);
    void Recall();
    void Remember(const PortChoice& port);
    void OnTransferEnded();
    void StopTransfer();
    void RequestEnd();
    void End();
    void OnDestroy();

    HINSTANCE instance_;
    DialogSetup setup_;
    bool modal_ = false;
    bool closing_ = false;
    HWND window_ = nullptr;
    DialogStatus status_;
    std::optional<std::filesystem::path> picked_;  // the file last picked or dropped
    int pressed_ = 0;                              // the button that started the run
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    std::unique_ptr<void, HandleCloser> runEnded_;  // signalled as the run ends
    std::unique_ptr<TransferThread> run_;           // set while a transfer runs
};

// The dialog created shown but not modal (for tests and tools); null when it
// could not be created.
std::unique_ptr<MainDialog> CreateMainDialog(HINSTANCE instance, DialogSetup setup);

// Shows the dialog modally until it ends; returns 0.
int RunMainDialog(HINSTANCE instance, DialogSetup setup);

}  // namespace kestrel
