#pragma once
// One case list for both dialogs (Qt and Win32): each case is a few steps a
// user takes and what the dialog shows after them. Each dialog's test
// program drives its own dialog through a DialogDriver and runs them all;
// with KESTREL_SCREENSHOT=FILE it photographs the dialog after a download.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "app/core/program_setup.h"
#include "link/memory_port.h"

namespace kestrel::test {

enum class Field { pcPath, deviceName, deviceDirectory, status, title, exitButton, port };
enum class Button { download, upload, exit, browse, escape, closeBox };

// A case's scratch folder (the PC's files in "pc", the virtual handheld's in
// "handheld"), no substitution table, and serial ports that never answer.
struct Rig {
    std::filesystem::path folder;
    ProgramFiles files;
    std::optional<std::filesystem::path> pick;  // the stub picker's answer
    std::unique_ptr<MemoryPort> silentFarEnd;   // set before silentOpened
    std::atomic<bool> silentOpened{false};
};

// Texts in UTF-8; the port's is the chosen entry's.
class DialogDriver {
  public:
    virtual ~DialogDriver() = default;
    virtual void Open() = 0;  // a new dialog on the rig's settings, in place of the last
    virtual void SetText(Field box, const std::string& text) = 0;
    virtual void Type(Field box, const std::string& text) = 0;  // key by key
    virtual std::string Text(Field field) = 0;
    virtual void ChoosePort(bool silent) = 0;  // a silent serial port, or "虚拟文曲星"
    virtual void Press(Button button) = 0;
    virtual void Drop(const std::vector<std::filesystem::path>& files) = 0;
    virtual bool Ended() = 0;
    virtual bool Running() = 0;
    // Lets the dialog run until `done` holds; false after a bound no passing case nears.
    virtual bool RunUntil(const std::function<bool()>& done) = 0;
    // False when no picture was saved or a text shown has no glyph in its font.
    virtual bool Photograph(const std::string& file) = 0;
};

std::unique_ptr<DialogDriver> MakeDialogDriver(Rig& rig);  // each program's own
int RunCasesOrPhotograph();  // every case, or the photograph: the exit status

}  // namespace kestrel::test
