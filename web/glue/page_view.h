#pragma once
// The page as the dialog's controller sees it: each call a setter on the
// JavaScript view (web/view.js, reached as Module.view), which shows what it
// is told and decides nothing. Texts reach it as UTF-8.
//
// Promises:
// - Every call returns at once; none suspends the module.
// - Ask is answered at once, by the browser's own yes-or-no question.
//   PickFile answers "none": the page's chooser is the browser's, and the
//   files it gives come to the controller as a drop.
// - The exit control is the page's 取消 button: a page cannot be quit, so
//   the button is enabled only while its text would be "取消".
// - Run keeps the request; the page runs it once the gesture that started
//   it has returned (page.cpp), so no gesture is ever inside a run.

#include <memory>
#include <optional>
#include <utility>

#include "app/core/dialog_view.h"

namespace kestrel::web {

struct WaitingRun {
    TransferRequest request;
    std::shared_ptr<CancelSwitch> cancel;
};

class PageView final : public DialogView {
  public:
    void ShowBox(Box box, const UserText& text) override;
    void ShowDirectoryChoices(const std::vector<UserText>& directories) override;
    void ShowPorts(const std::vector<PortListEntry>& ports, std::size_t chosen) override;
    void ShowFetchAsUtf8(bool checked) override;
    void ShowStatus(std::string_view gbkText) override;
    void ShowTitle(std::string_view gbkText) override;
    void ShowExitText(std::string_view gbkText) override;
    void Enable(Control control, bool enabled) override;
    void Focus(Control control) override;
    void Ask(std::string_view gbkQuestion, std::function<void(bool yes)> answer) override;
    void PickFile(const UserText& initial,
                  std::function<void(std::optional<std::filesystem::path>)> picked) override;
    void ShowAbout(std::string_view gbkTitle, std::string_view gbkText) override;
    void Run(TransferRequest request, std::shared_ptr<CancelSwitch> cancel) override;
    void Close() override {}  // the page ends with its tab

    // The run the controller asked for, once.
    bool RunWaiting() const { return waiting_.has_value(); }
    std::optional<WaitingRun> TakeRun() { return std::exchange(waiting_, std::nullopt); }

    // Offers the file at `path` of this module's file system as a download
    // named like it.
    static void OfferDownload(const std::filesystem::path& path);

  private:
    std::optional<WaitingRun> waiting_;
};

}  // namespace kestrel::web
