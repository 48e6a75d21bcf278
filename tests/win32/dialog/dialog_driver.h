#pragma once
// Drives the real dialog from a test: made from resource 101 of the test
// program, not modal, with a picker and ports the test controls. While a
// test waits for something, the dialog's messages are dispatched, as the
// program's own message loop would.

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/main_dialog.h"
#include "link/port.h"

namespace kestrel::test {

// A picker that answers from a script and keeps what it was offered.
struct StubPicker {
    std::optional<std::filesystem::path> answer;
    std::vector<std::wstring> offered;  // the initial file name of each pick
};

// Port names asked for, from whichever thread asked.
class PortLog {
  public:
    void Add(std::string_view name);
    std::vector<std::string> Names() const;

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> names_;
};

// Every port fails to open, saying why, and is logged.
PortOpener RefusingOpener(PortLog& log);

// A port that notes when it is closed, around the PC's end of a line.
class WatchedPort : public Port {
  public:
    WatchedPort(std::unique_ptr<Port> port, std::atomic<bool>& closed)
        : port_(std::move(port)), closed_(closed) {}
    ~WatchedPort() override { closed_ = true; }
    IoStatus Write(std::span<const std::uint8_t> bytes) override { return port_->Write(bytes); }
    IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) override {
        return port_->Read(bytes, silence);
    }
    void Cancel() override { port_->Cancel(); }

  private:
    std::unique_ptr<Port> port_;
    std::atomic<bool>& closed_;
};

class DialogDriver {
  public:
    // Fails the test when the dialog cannot be made.
    explicit DialogDriver(DialogSetup setup);
    DialogDriver(PortOpener opener, StubPicker& picker, std::vector<std::string> presentPorts = {});

    MainDialog& Dialog() { return *dialog_; }
    HWND Window() const { return dialog_->Window(); }
    HWND Item(int id) const { return GetDlgItem(Window(), id); }

    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text);
    // The command a click on a button sends (notification code 0).
    void Press(int id);
    // Characters typed into a box at its caret, one message each.
    void Type(int id, std::wstring_view text);
    // Text inserted at a box's caret in one go, as a paste does.
    void Paste(int id, const std::wstring& text);
    void SelectPort(const std::wstring& name);

    // Dispatches messages until done() holds; false (and a test failure)
    // if it does not within a bound no passing test comes near.
    bool PumpUntil(const std::function<bool()>& done);
    bool WaitForTransferEnd();

  private:
    HWND EditOf(int id) const;

    std::unique_ptr<MainDialog> dialog_;
};

// Drop data for one file, as the shell hands it to a window; the window
// releases it.
HDROP MakeDrop(const std::wstring& path);

}  // namespace kestrel::test
