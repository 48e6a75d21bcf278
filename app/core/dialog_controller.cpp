#include "app/core/dialog_controller.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "app/core/about.h"
#include "app/core/app_texts.h"
#include "app/core/device_naming.h"
#include "app/core/request_form.h"
#include "app/core/run_texts.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

constexpr std::array kCommands{Control::download, Control::upload, Control::browse};

UserText BoxText(std::string_view gbk) {
    return FromGbk(gbk).value_or(UserText());
}

}  // namespace

DialogController::DialogController(DialogView& view, ChoiceStore& store, PortSource ports,
                                   Received received)
    : view_(view), store_(store), portSource_(std::move(ports)), received_(received) {}

void DialogController::Start() {
    const RememberedChoices remembered = store_.Read();
    ports_ = ListPortChoices(portSource_);
    chosen_ = ChoiceFor(ports_, remembered.port ? PortFromSetting(*remembered.port) : std::nullopt);
    view_.ShowPorts(ports_, chosen_);
    view_.ShowDirectoryChoices({BoxText(texts::kDirLava), BoxText(texts::kDirLavaData)});
    fetchAsUtf8_ = remembered.fetchAsUtf8.value_or(false);
    view_.ShowFetchAsUtf8(fetchAsUtf8_);
    proposed_.deviceDirectory = remembered.directory.value_or(UserText());
    SetBox(Box::deviceDirectory, proposed_.deviceDirectory);
    view_.ShowTitle(WindowTitle(std::nullopt));
    view_.ShowExitText(texts::kExit);
}

void DialogController::SetBox(Box box, const UserText& text) {
    boxes_[static_cast<std::size_t>(box)] = text;
    view_.ShowBox(box, text);
}

std::optional<std::string> DialogController::TypingRejection(Box box, const UserText& text) const {
    const bool name = box == Box::deviceName;
    const std::optional<std::string> gbk = ToGbk(text);
    if (!gbk) {
        return std::string(
            RejectionText(name ? Rejection::deviceNameNotGbk : Rejection::deviceDirectoryNotGbk));
    }
    const std::size_t limit = name ? kMaxDeviceNameBytes : kMaxDeviceDirectoryBytes;
    if (gbk->size() <= limit) return std::nullopt;
    return texts::TooLongToType(name ? texts::kNameBox : texts::kDirectoryBox, gbk->size());
}

bool DialogController::Edit(Box box, const UserText& text) {
    if (box != Box::pcPath) {
        if (const std::optional<std::string> rejection = TypingRejection(box, text)) {
            ShowLine(*rejection);
            return false;
        }
    }
    if (Text(box) == text) return true;
    boxes_[static_cast<std::size_t>(box)] = text;
    ClearStatus();
    return true;
}

// A box the user has not touched since the last proposal takes the new one.
void DialogController::Propose(const Proposal& proposal, bool keepTyped) {
    const bool nameUntouched = Text(Box::deviceName) == proposed_.deviceName;
    const bool directoryUntouched = Text(Box::deviceDirectory) == proposed_.deviceDirectory;
    proposed_ = proposal.boxes;
    SetBox(Box::pcPath, proposal.boxes.pcPath);
    if (!keepTyped || nameUntouched) SetBox(Box::deviceName, proposal.boxes.deviceName);
    if (!keepTyped || directoryUntouched) {
        SetBox(Box::deviceDirectory, proposal.boxes.deviceDirectory);
    }
    ClearStatus();
}

void DialogController::CommitPcPath() {
    if (Running() || Text(Box::pcPath) == proposed_.pcPath) return;
    proposed_.pcPath = Text(Box::pcPath);
    if (const std::optional<Proposal> proposal = ProposeForPickedFile(Text(Box::pcPath))) {
        Propose(*proposal, true);
    }
}

void DialogController::UsePicked(const std::filesystem::path& picked) {
    const std::optional<Proposal> proposal = ProposeForPickedFile(picked);
    if (!proposal) return;
    Propose(*proposal, false);
    picked_ = picked;
}

void DialogController::Browse() {
    if (Running()) return;
    view_.PickFile(Text(Box::pcPath), [this](std::optional<std::filesystem::path> picked) {
        if (picked && !Running()) UsePicked(*picked);
    });
}

// One file is a picked file; several are sent at once, each where it is
// proposed, in one handheld session. A drop holding anything but files (a
// folder) drops nothing.
void DialogController::Drop(const std::vector<std::filesystem::path>& files) {
    const auto isFile = [](const std::filesystem::path& file) {
        std::error_code error;
        return std::filesystem::is_regular_file(file, error);
    };
    if (Running() || files.empty() || !std::all_of(files.begin(), files.end(), isFile)) return;
    if (files.size() == 1) {
        UsePicked(files.front());
        return;
    }
    ResultOf<TransferRequest> request =
        RequestFromArguments(Direction::send, Arguments{files, {}, {}, {}}, ChosenPort());
    if (request.IsOk()) {
        const std::vector<TransferFile>& several = request.Value().files;
        lead_ = texts::SeveralFiles(several.size(), several.front().shownName);
    }
    Begin(std::move(request), Control::download);
}

void DialogController::ChoosePort(std::size_t index) {
    if (index >= ports_.size() || index == chosen_) return;
    chosen_ = index;
    ClearStatus();
}

void DialogController::RefreshPorts() {
    const PortChoice chosen = ChosenPort();
    ports_ = ListPortChoices(portSource_);
    chosen_ = ChoiceFor(ports_, chosen);
    view_.ShowPorts(ports_, chosen_);
}

void DialogController::SetFetchAsUtf8(bool fetchAsUtf8) {
    fetchAsUtf8_ = fetchAsUtf8;
}

void DialogController::Download() {
    if (Running()) return;
    CommitPcPath();
    const RequestBoxes boxes{Text(Box::pcPath), Text(Box::deviceName), Text(Box::deviceDirectory)};
    Begin(RequestFromBoxes(Direction::send, boxes, ChosenPort(), picked_, {false, fetchAsUtf8_}),
          Control::download);
}

void DialogController::Upload() {
    if (Running()) return;
    CommitPcPath();
    const RequestBoxes boxes{Text(Box::pcPath), Text(Box::deviceName), Text(Box::deviceDirectory)};
    ResultOf<TransferRequest> request =
        RequestFromBoxes(Direction::receive, boxes, ChosenPort(), picked_, {false, fetchAsUtf8_});
    std::error_code error;
    if (!request.IsOk() || received_ == Received::offeredAsDownload ||
        !std::filesystem::exists(request.Value().files.front().pcPath, error)) {
        Begin(std::move(request), Control::upload);
        return;
    }
    const std::string question = texts::ReplacePcFile(request.Value().files.front().shownName);
    view_.Ask(question, [this, fetched = std::move(request).Value()](bool yes) mutable {
        if (yes && !Running()) Launch(std::move(fetched), Control::upload);
    });
}

void DialogController::Begin(ResultOf<TransferRequest> request, Control pressed) {
    if (!request.IsOk()) {
        lead_.clear();
        ShowLine(request.Reason());
        return;
    }
    Launch(std::move(request).Value(), pressed);
}

void DialogController::Launch(TransferRequest request, Control pressed) {
    store_.Write({std::nullopt, Text(Box::deviceDirectory), fetchAsUtf8_});
    cancel_ = std::make_shared<CancelSwitch>();
    run_ = request;
    pressed_ = pressed;
    waiting_.clear();
    endLine_ = EndLine();
    SetRunning(true);
    if (!lead_.empty()) ShowLine(lead_);
    view_.Run(std::move(request), cancel_);
}

void DialogController::SetRunning(bool running) {
    for (const Control command : kCommands) view_.Enable(command, !running);
    view_.ShowExitText(running ? texts::kCancel : texts::kExit);
    view_.Focus(running ? Control::exit : pressed_);
}

void DialogController::ExitOrCancel() {
    if (Running()) {
        cancel_->Cancel();  // the dialog stays; the run ends and puts the port back
        return;
    }
    view_.Close();
}

void DialogController::Escape() {
    if (Running()) cancel_->Cancel();
}

void DialogController::RequestClose() {
    if (!Running()) {
        view_.Close();
        return;
    }
    closing_ = true;
    cancel_->Cancel();
}

void DialogController::About() {
    view_.ShowAbout(texts::kAboutTitle, AboutText());
}

void DialogController::ShowLine(std::string_view gbkText) {
    view_.ShowStatus(gbkText);
    statusShown_ = !gbkText.empty();
}

void DialogController::ClearStatus() {
    if (statusShown_ && !Running()) ShowLine({});
}

// Several files: the boxes show the one the run has come to.
void DialogController::ShowRunFile(std::string_view gbkText) {
    if (run_.files.size() < 2) return;
    for (const TransferFile& file : run_.files) {
        if (gbkText != texts::Downloading(file.deviceName)) continue;
        picked_ = file.pcPath;
        proposed_ = {
            file.pcPath.native(), BoxText(file.deviceName),
            file.root ? UserText(BoxText(texts::kRootDirectory)) : BoxText(file.deviceDirectory)};
        SetBox(Box::pcPath, proposed_.pcPath);
        SetBox(Box::deviceName, proposed_.deviceName);
        SetBox(Box::deviceDirectory, proposed_.deviceDirectory);
    }
}

void DialogController::OnRunStatus(std::string_view gbkText) {
    endLine_.Saw(gbkText);
    if (gbkText == texts::kWaiting) {
        waiting_ = lead_.empty() ? std::string(gbkText) : lead_ + " " + std::string(gbkText);
        ShowLine(waiting_);
        return;
    }
    waiting_.clear();
    ShowRunFile(gbkText);
    ShowLine(gbkText);
}

void DialogController::OnRunProgress(std::string_view gbkText, Progress progress) {
    waiting_.clear();
    ShowLine(gbkText);
    view_.ShowTitle(WindowTitle(PercentDone(progress)));
}

void DialogController::OnRunHint(std::string_view gbkText) {
    if (waiting_.empty()) {
        ShowLine(gbkText);
        return;
    }
    waiting_ += " ";
    waiting_ += gbkText;
    ShowLine(waiting_);
}

void DialogController::OnRunEnded(const Result& end) {
    cancel_.reset();
    if (closing_) {
        view_.Close();
        return;
    }
    std::string text = endLine_.Text(end);
    if (end.IsOk()) {
        store_.Write({PortSetting(run_.port), std::nullopt, std::nullopt});
        if (run_.files.size() > 1) text = texts::SentFiles(run_.files.size()) + " " + text;
    }
    lead_.clear();
    waiting_.clear();
    ShowLine(text);
    view_.ShowTitle(WindowTitle(std::nullopt));
    SetRunning(false);
}

}  // namespace kestrel
