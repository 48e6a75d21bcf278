#include "app/win32/main_dialog.h"

#include <shellapi.h>

#include <utility>
#include <variant>

#include "app/core/about.h"
#include "app/core/app_texts.h"
#include "app/core/picked_file.h"
#include "app/core/remembered.h"
#include "app/core/run_texts.h"
#include "app/win32/center_window.h"
#include "app/win32/dialog_controls.h"
#include "app/win32/remembered_registry.h"
#include "app/win32/resource_ids.h"
#include "app/win32/sent_messages.h"
#include "app/win32/window_text.h"

namespace kestrel {
namespace {

constexpr UINT kTransferEndedMessage = WM_APP + 2;
constexpr UINT kAboutCommand = 0x0010;  // system menu commands below 0xF000 are the program's
constexpr int kCommandIds[] = {IDC_DOWNLOAD, IDC_UPLOAD, IDC_BROWSE};

// Releases what the system holds for a drop, on every path.
class DropHandle {
  public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    ~DropHandle() { DragFinish(drop_); }
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;

    std::vector<std::filesystem::path> Files() const {
        std::vector<std::filesystem::path> files;
        const UINT count = DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop_, i, nullptr, 0);
            if (length == 0) return {};
            std::wstring path(length + 1, L'\0');
            DragQueryFileW(drop_, i, path.data(), length + 1);
            path.resize(length);
            files.emplace_back(path);
        }
        return files;
    }

  private:
    HDROP drop_;
};

}  // namespace

MainDialog::MainDialog(HINSTANCE instance, DialogSetup setup)
    : instance_(instance), setup_(std::move(setup)) {
    if (!setup_.pickFile) setup_.pickFile = OpenFileDialogPicker(instance_);
}

MainDialog::~MainDialog() {
    if (window_ != nullptr) DestroyWindow(window_);
}

int MainDialog::RunModal() {
    modal_ = true;
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, DialogProc,
                    reinterpret_cast<LPARAM>(this));
    return 0;
}

bool MainDialog::CreateModeless() {
    modal_ = false;
    CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, DialogProc,
                       reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) return false;
    ShowWindow(window_, SW_SHOW);
    return true;
}

INT_PTR CALLBACK MainDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<MainDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->window_ = window;
        dialog->Initialize();
        return TRUE;
    }
    auto* dialog = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    return dialog->Handle(message, wParam, lParam) ? TRUE : FALSE;
}

bool MainDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_CLOSE:
            RequestEnd();
            return true;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0U) != kAboutCommand) return false;
            MessageBoxW(window_, ShownText(AboutText()).c_str(), ShownText(kAboutTitle).c_str(),
                        MB_OK | MB_ICONINFORMATION);
            return true;
        case WM_DROPFILES:
            TakeDroppedFiles(reinterpret_cast<HDROP>(wParam));
            return true;
        case kShowStatusMessage:
            TakeStatus(window_, lParam);
            return true;
        case kTransferEndedMessage:
            OnTransferEnded();
            return true;
        case WM_DESTROY:
            OnDestroy();
            return true;
        default:
            return false;
    }
}

void MainDialog::Initialize() {
    status_.Attach(window_);
    CenterWindow(window_);
    LimitTyping(window_);
    FillPortList(GetDlgItem(window_, IDC_PORT), setup_.listPorts());
    SetItemText(window_, IDC_CREDIT, ShownText(texts::kCreditLine));
    for (const wchar_t* directory : {L"LAVA", L"LavaData"}) {
        SendDlgItemMessageW(window_, IDC_DEVICE_DIRECTORY, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(directory));
    }
    DragAcceptFiles(window_, TRUE);
    if (HMENU menu = GetSystemMenu(window_, FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutCommand, ShownText(kAboutTitle).c_str());
    }
    Recall();
}

void MainDialog::OnCommand(int id, int code) {
    if (id == IDC_DEVICE_NAME && code == EN_CHANGE) {
        KeepEditWithinGbkLimit(GetDlgItem(window_, IDC_DEVICE_NAME));
        return;
    }
    if (id == IDC_DEVICE_DIRECTORY && code == CBN_EDITCHANGE) {
        KeepComboWithinGbkLimit(GetDlgItem(window_, IDC_DEVICE_DIRECTORY));
        return;
    }
    if (code != 0) return;
    switch (id) {
        case IDC_DOWNLOAD:
            StartTransfer(Direction::send, IDC_DOWNLOAD);
            break;
        case IDC_UPLOAD:
            StartTransfer(Direction::receive, IDC_UPLOAD);
            break;
        case IDC_BROWSE:
            Browse();
            break;
        case IDC_EXIT:
            if (run_) {
                run_->Cancel();  // "取消": the dialog stays, the run ends
            } else {
                RequestEnd();
            }
            break;
        case IDCANCEL:  // Escape cancels a run, and does nothing else
            if (run_) run_->Cancel();
            break;
        default:
            break;  // Enter, Escape and the rest do nothing
    }
}

void MainDialog::StartTransfer(Direction direction, int pressed) {
    if (run_ || closing_) return;
    const RequestBoxes boxes{ItemText(window_, IDC_PC_PATH), ItemText(window_, IDC_DEVICE_NAME),
                             ItemText(window_, IDC_DEVICE_DIRECTORY)};
    const std::optional<PortChoice> port = SelectedPort(GetDlgItem(window_, IDC_PORT));
    if (!port) return;
    const TextHandling text{false, IsDlgButtonChecked(window_, IDC_FETCH_AS_UTF8) == BST_CHECKED};
    Run(RequestFromBoxes(direction, boxes, *port, picked_, text), pressed);
}

void MainDialog::Run(std::variant<TransferRequest, Refusal> request, int pressed) {
    if (const auto* refusal = std::get_if<Refusal>(&request)) {
        SetItemText(window_, IDC_STATUS, ShownText(RefusalText(*refusal)));
        return;
    }
    runEnded_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!runEnded_) return;
    Remember(std::get<TransferRequest>(request).port);
    pressed_ = pressed;
    SetRunning(true);
    HWND window = window_;
    HANDLE ended = runEnded_.get();
    run_ = std::make_unique<TransferThread>(std::get<TransferRequest>(std::move(request)),
                                            LoadSetup(setup_.files), status_,
                                            [window, ended](const TransferEnd&) {
                                                SetEvent(ended);
                                                PostMessageW(window, kTransferEndedMessage, 0, 0);
                                            });
}

void MainDialog::Browse() {
    if (run_ || closing_) return;
    const std::optional<std::filesystem::path> picked =
        setup_.pickFile(window_, ItemText(window_, IDC_PC_PATH));
    if (picked) ShowPickedFile(*picked);
}

// One file is a picked file; several are sent at once, each to the place
// proposed for it, in one handheld session.
void MainDialog::TakeDroppedFiles(HDROP drop) {
    const DropHandle dropped(drop);
    if (run_ || closing_) return;  // as Browse, which is disabled meanwhile
    const std::vector<std::filesystem::path> files = dropped.Files();
    if (files.size() == 1) ShowPickedFile(files.front());
    if (files.size() < 2) return;
    const std::optional<PortChoice> port = SelectedPort(GetDlgItem(window_, IDC_PORT));
    if (!port) return;
    Run(RequestFromArguments(Direction::send, Arguments{files, {}, {}, {}}, *port), IDC_DOWNLOAD);
}

void MainDialog::ShowPickedFile(const std::filesystem::path& picked) {
    const std::optional<Proposal> proposal = ProposeForPickedFile(picked);
    if (!proposal) return;
    SetItemText(window_, IDC_PC_PATH, proposal->boxes.pcPath);
    // The file's name shows, not the start of its folders.
    const LRESULT length = SendDlgItemMessageW(window_, IDC_PC_PATH, WM_GETTEXTLENGTH, 0, 0);
    SendDlgItemMessageW(window_, IDC_PC_PATH, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendDlgItemMessageW(window_, IDC_PC_PATH, EM_SCROLLCARET, 0, 0);
    SetItemText(window_, IDC_DEVICE_NAME, proposal->boxes.deviceName);
    SetItemText(window_, IDC_DEVICE_DIRECTORY, proposal->boxes.deviceDirectory);
    picked_ = picked;
}

void MainDialog::SetRunning(bool running) {
    HWND focused = GetFocus();
    for (const int id : kCommandIds) {
        HWND button = GetDlgItem(window_, id);
        // A disabled control cannot keep the focus; the keyboard goes to "取消".
        if (running && button == focused) {
            SendMessageW(window_, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(window_, IDC_EXIT)), TRUE);
        }
        EnableWindow(button, running ? FALSE : TRUE);
    }
    SetItemText(window_, IDC_EXIT, ShownText(running ? texts::kCancel : texts::kExit));
}

void MainDialog::OnTransferEnded() {
    if (!run_) return;
    const TransferEnd end = run_->Wait();  // the run is over: this joins its thread at once
    run_.reset();
    if (closing_) {
        End();
        return;
    }
    // The end stays on the line with its reason, not only "终止传输".
    SetItemText(window_, IDC_STATUS, ShownText(EndText(end)));
    SetWindowTextW(window_, ShownText(WindowTitle(std::nullopt)).c_str());
    SetRunning(false);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, pressed_)),
                 TRUE);
}

void MainDialog::Recall() {
    const RememberedTexts remembered = ReadRemembered(setup_.settingsKey);
    CheckDlgButton(window_, IDC_FETCH_AS_UTF8,
                   remembered.fetchAsUtf8 ? BST_CHECKED : BST_UNCHECKED);
    if (const auto port = PortFromSetting(remembered.port)) {
        SelectPort(GetDlgItem(window_, IDC_PORT), *port);
    }
    if (!remembered.directory.empty()) {
        SetItemText(window_, IDC_DEVICE_DIRECTORY, remembered.directory);
    }
}

void MainDialog::Remember(const PortChoice& port) {
    WriteRemembered(setup_.settingsKey,
                    {PortSetting(port), ItemText(window_, IDC_DEVICE_DIRECTORY),
                     IsDlgButtonChecked(window_, IDC_FETCH_AS_UTF8) == BST_CHECKED});
}

void MainDialog::RequestEnd() {
    if (!run_) {
        End();
        return;
    }
    // The dialog goes at once; it ends when the port is back as it was.
    closing_ = true;
    ShowWindow(window_, SW_HIDE);
    run_->Cancel();
}

// Cancels a run still going and waits for it, still taking the texts it sends.
void MainDialog::StopTransfer() {
    if (!run_) return;
    run_->Cancel();
    WaitDispatchingSentMessages(runEnded_.get());
    run_.reset();
}

void MainDialog::End() {
    if (modal_) {
        EndDialog(window_, 0);
    } else {
        DestroyWindow(window_);
    }
}

void MainDialog::OnDestroy() {
    status_.Close();
    StopTransfer();
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    window_ = nullptr;
}

std::unique_ptr<MainDialog> CreateMainDialog(HINSTANCE instance, DialogSetup setup) {
    auto dialog = std::make_unique<MainDialog>(instance, std::move(setup));
    if (!dialog->CreateModeless()) return nullptr;
    return dialog;
}

int RunMainDialog(HINSTANCE instance, DialogSetup setup) {
    MainDialog dialog(instance, std::move(setup));
    return dialog.RunModal();
}

}  // namespace kestrel
