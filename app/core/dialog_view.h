#pragma once
// What the dialog's controller asks of a face (Qt, Win32, the browser): to
// show, enable and focus its controls, to ask the user, and to run a
// request. A view holds widgets and makes no decision of its own; every
// rule is the controller's (dialog_controller.h).
//
// Promises asked of a view:
// - Every call comes on the dialog's thread, and the view answers there:
//   Ask and PickFile through their callbacks (now, or later for a face that
//   cannot block), Run through the controller's OnRun... calls, the end
//   last and once.
// - Texts are shown whole: a status too long for its line still reaches
//   the user (wrapped, or whole in a tooltip), never silently cut.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/core/port_list.h"
#include "app/core/gbk_text.h"
#include "transfer/cancel_switch.h"
#include "transfer/transfer_request.h"

namespace kestrel {

enum class Box { pcPath, deviceName, deviceDirectory };
enum class Control { download, upload, browse, exit };

class DialogView {
  public:
    virtual ~DialogView() = default;

    // A box's text, its end in sight (a long path shows its file's name).
    virtual void ShowBox(Box box, const UserText& text) = 0;
    virtual void ShowDirectoryChoices(const std::vector<UserText>& directories) = 0;
    virtual void ShowPorts(const std::vector<PortListEntry>& ports, std::size_t chosen) = 0;
    virtual void ShowFetchAsUtf8(bool checked) = 0;
    // GBK texts: the status line (empty clears it), the window's title, the
    // Exit button's text ("退出", or "取消" while a request runs).
    virtual void ShowStatus(std::string_view gbkText) = 0;
    virtual void ShowTitle(std::string_view gbkText) = 0;
    virtual void ShowExitText(std::string_view gbkText) = 0;
    virtual void Enable(Control control, bool enabled) = 0;
    virtual void Focus(Control control) = 0;

    // A yes-or-no question, "no" the default answer.
    virtual void Ask(std::string_view gbkQuestion, std::function<void(bool yes)> answer) = 0;
    // The platform's file picker, offering `initial`; nullopt when cancelled.
    virtual void PickFile(const UserText& initial,
                          std::function<void(std::optional<std::filesystem::path>)> picked) = 0;
    virtual void ShowAbout(std::string_view gbkTitle, std::string_view gbkText) = 0;

    // Runs the request on its own, cancelled through `cancel`, and hands its
    // texts and its end to the controller on the dialog's thread.
    virtual void Run(TransferRequest request, std::shared_ptr<CancelSwitch> cancel) = 0;
    // Ends the dialog.
    virtual void Close() = 0;
};

}  // namespace kestrel
