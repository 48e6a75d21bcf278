#pragma once
// The dialog's behaviour, written once for every face: the boxes and what
// may be typed into them, proposals for a picked, dropped or typed PC file,
// requests and rejections, the port list, the remembered choices, the state
// while a request runs and every text the dialog shows. A face implements
// DialogView, relays each gesture here, and hands the run's texts and end
// back on the dialog's thread (status_relay.h).
//
// Promises:
// - Every call comes on the dialog's thread; nothing here blocks or starts
//   a thread. One request runs at a time: while it runs, Download, Upload,
//   Browse and drops do nothing, and 取消, Escape or closing cancel it.
// - The name and directory boxes never take a text of more than 14 bytes
//   of GBK or with a character GBK cannot hold: Edit rejects it whole and
//   says why on the status line. Proposals keep the naming rule as it is.
// - A PC path typed by hand is proposed for when committed (Enter, leaving
//   the box, or pressing 下载 or 上传): the name and directory boxes take the
//   new proposal where they still hold the previous one, and keep what the
//   user typed. The typed path is routed exactly as typed.
// - A status from the previous run clears when a box or the port changes.
//   While the handheld is awaited, "等待传输开始..." and what the run adds
//   about it share the line; the end stays there with its reason.
// - 上传 asks before replacing a PC file that exists, in a face that writes
//   what it receives over the PC file; a face that offers it as a download
//   (the page) replaces nothing, so it asks nothing.
// - The directory and the UTF-8 choice are remembered when a run starts; the
//   port only once a run through it has succeeded. Without a remembered
//   port the first port present is chosen, or "虚拟文曲星".

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/dialog_view.h"
#include "app/core/picked_file.h"
#include "app/core/port_list.h"
#include "app/core/rejection.h"
#include "app/core/remembered.h"
#include "app/core/run_texts.h"
#include "status/status_sink.h"
#include "transfer/run_transfer.h"

namespace kestrel {

// Where a face puts what a 上传 receives.
enum class Received { overPcFile, offeredAsDownload };

class DialogController {
  public:
    DialogController(DialogView& view, ChoiceStore& store, PortSource ports,
                     Received received = Received::overPcFile);

    // Fills the dialog: the port list, the remembered choices, the title.
    void Start();

    // The user's gestures.
    bool Edit(Box box, const UserText& text);  // false: rejected, the box keeps its text
    void CommitPcPath();
    void Browse();
    void Drop(const std::vector<std::filesystem::path>& files);
    void ChoosePort(std::size_t index);
    void RefreshPorts();  // the list is opened: ports plugged in meanwhile appear
    void SetFetchAsUtf8(bool fetchAsUtf8);
    void Download();
    void Upload();
    void ExitOrCancel();
    void Escape();
    void RequestClose();  // the close box: the dialog ends once a run has
    void About();

    // The run, on the dialog's thread.
    void OnRunStatus(std::string_view gbkText);
    void OnRunProgress(std::string_view gbkText, Progress progress);
    void OnRunHint(std::string_view gbkText);
    void OnRunEnded(const Result& end);

    bool Running() const { return cancel_ != nullptr; }
    const UserText& Text(Box box) const { return boxes_[static_cast<std::size_t>(box)]; }

  private:
    void SetBox(Box box, const UserText& text);
    void UsePicked(const std::filesystem::path& picked);
    void Propose(const Proposal& proposal, bool keepTyped);
    void ShowLine(std::string_view gbkText);
    void ClearStatus();
    std::optional<std::string> TypingRejection(Box box, const UserText& text) const;
    const PortChoice& ChosenPort() const { return ports_.at(chosen_).port; }
    void Begin(ResultOf<TransferRequest> request, Control pressed);
    void Confirm(TransferRequest request);
    void Launch(TransferRequest request, Control pressed);
    void SetRunning(bool running);
    void ShowRunFile(std::string_view gbkText);

    DialogView& view_;
    ChoiceStore& store_;
    PortSource portSource_;
    Received received_;
    std::vector<PortListEntry> ports_;
    std::size_t chosen_ = 0;
    bool fetchAsUtf8_ = false;

    std::array<UserText, 3> boxes_;
    std::optional<std::filesystem::path> picked_;  // the file last picked or dropped
    RequestBoxes proposed_;  // the PC path last proposed for, and what was proposed
    bool statusShown_ = false;

    // While a request runs.
    std::shared_ptr<CancelSwitch> cancel_;
    TransferRequest run_;  // a copy: which files go, through which port
    Control pressed_ = Control::download;
    std::string lead_;     // before the waiting text: which files go
    std::string waiting_;  // the waiting text and what the run adds about it
    EndLine endLine_;      // what the run showed, for the line it leaves
    bool closing_ = false;
};

}  // namespace kestrel
