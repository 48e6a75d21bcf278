#include "app/win32/main_dialog.h"

// The common-controls header needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <array>
#include <utility>

#include "app/win32/center_window.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"

namespace kestrel {
namespace {

constexpr UINT kRunTextMessage = WM_APP + 1;  // lParam: the function that shows it
constexpr UINT kTransferEndedMessage = WM_APP + 2;
constexpr int kTipWidth = 480;  // pixels: a long reason wraps in its tooltip
constexpr std::array kBoxIds{IDC_PC_PATH, IDC_DEVICE_NAME, IDC_DEVICE_DIRECTORY};
constexpr std::array kCommandIds{IDC_DOWNLOAD, IDC_UPLOAD, IDC_BROWSE, IDC_EXIT};

// A control's notification as one number, for one switch over them all.
constexpr int Notice(int id, int code) {
    return id << 16 | code;
}

// The files of a drop; what the system holds for it is released on every path.
std::vector<std::filesystem::path> DroppedFiles(HDROP drop) {
    const std::unique_ptr<std::remove_pointer_t<HDROP>, decltype(&DragFinish)> owned(drop,
                                                                                     DragFinish);
    std::vector<std::filesystem::path> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        if (path.empty()) return {};
        files.emplace_back(path);
    }
    return files;
}

// A box's own edit control: a combo box's inner one.
HWND EditOf(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    HWND inner = FindWindowExW(item, nullptr, L"Edit", nullptr);
    return inner != nullptr ? inner : item;
}

// The status line as its tooltip's one tool.
TOOLINFOW StatusTool(HWND dialog, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, IDC_STATUS));
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

HWND MakeTip(HINSTANCE instance, HWND dialog) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                               nullptr, instance, nullptr);
    TOOLINFOW tool = StatusTool(dialog, L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    // The dialog's own font, which holds its characters.
    SendMessageW(tip, WM_SETFONT, static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0)),
                 FALSE);
    return tip;
}

// Waits for the run to end while it may still be sending texts to this
// thread: those are taken meanwhile, so neither thread waits for ever.
void WaitTakingTexts(HANDLE ended) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &ended, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait itself failed
        MSG message;  // peeking dispatches what other threads sent to this one
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

class MainDialog::View final : public DialogView {
  public:
    explicit View(MainDialog& dialog) : d_(dialog) {}

    void ShowBox(Box box, const UserText& text) override {
        HWND edit = EditOf(d_.window_, kBoxIds[static_cast<std::size_t>(box)]);
        SetWindowTextW(edit, text.c_str());
        // The end in sight: a path shows its file's name, not the start of its folders.
        const auto length = static_cast<WPARAM>(text.size());
        SendMessageW(edit, EM_SETSEL, length, static_cast<LPARAM>(length));
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
    void ShowDirectoryChoices(const std::vector<UserText>& directories) override {
        for (const UserText& directory : directories) Add(IDC_DEVICE_DIRECTORY, directory);
    }
    void ShowPorts(const std::vector<PortListEntry>& ports, std::size_t chosen) override {
        SendDlgItemMessageW(d_.window_, IDC_PORT, CB_RESETCONTENT, 0, 0);
        for (const PortListEntry& port : ports) Add(IDC_PORT, port.label);
        SendDlgItemMessageW(d_.window_, IDC_PORT, CB_SETCURSEL, chosen, 0);
    }
    void ShowFetchAsUtf8(bool checked) override {
        CheckDlgButton(d_.window_, IDC_FETCH_AS_UTF8, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void ShowStatus(std::string_view gbkText) override {
        const std::wstring text = ShownText(gbkText);
        SetItemText(d_.window_, IDC_STATUS, text);
        TOOLINFOW tool = StatusTool(d_.window_, text.c_str());
        SendMessageW(d_.statusTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    void ShowTitle(std::string_view gbkText) override {
        SetWindowTextW(d_.window_, ShownText(gbkText).c_str());
    }
    void ShowExitText(std::string_view gbkText) override {
        SetItemText(d_.window_, IDC_EXIT, ShownText(gbkText));
    }
    void Enable(Control control, bool enabled) override {
        EnableWindow(Button(control), enabled ? TRUE : FALSE);
    }
    void Focus(Control control) override {
        SendMessageW(d_.window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Button(control)), TRUE);
    }
    void Ask(std::string_view gbkQuestion, std::function<void(bool yes)> answer) override {
        answer(MessageBoxW(d_.window_, ShownText(gbkQuestion).c_str(), L"KESTREL",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES);
    }
    void PickFile(const UserText& initial,
                  std::function<void(std::optional<std::filesystem::path>)> picked) override {
        picked(d_.setup_.pickFile(d_.window_, initial));
    }
    void ShowAbout(std::string_view gbkTitle, std::string_view gbkText) override {
        MessageBoxW(d_.window_, ShownText(gbkText).c_str(), ShownText(gbkTitle).c_str(),
                    MB_OK | MB_ICONINFORMATION);
    }
    void Run(TransferRequest request, std::shared_ptr<CancelSwitch> cancel) override {
        d_.runEnded_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        HWND window = d_.window_;
        HANDLE ended = d_.runEnded_.get();
        d_.run_ = std::make_unique<TransferThread>(
            std::move(request), LoadSetup(d_.setup_.files), d_.status_,
            [window, ended](const Result&) {
                SetEvent(ended);
                PostMessageW(window, kTransferEndedMessage, 0, 0);
            },
            std::move(cancel));
    }
    void Close() override {
        if (d_.modal_) {
            EndDialog(d_.window_, 0);
        } else {
            DestroyWindow(d_.window_);
        }
    }

  private:
    HWND Button(Control control) const {
        return GetDlgItem(d_.window_, kCommandIds[static_cast<std::size_t>(control)]);
    }
    void Add(int list, const UserText& entry) const {
        SendDlgItemMessageW(d_.window_, list, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.c_str()));
    }

    MainDialog& d_;
};

MainDialog::MainDialog(HINSTANCE instance, DialogSetup setup)
    : instance_(instance),
      setup_(std::move(setup)),
      store_(setup_.settingsKey),
      view_(std::make_unique<View>(*this)),
      controller_(*view_, store_, setup_.ports),
      status_(controller_, [this](const std::function<void()>& show) {
          // Sent, not posted: the text lives on the run's stack until it is taken.
          SendMessageW(textsTo_.load(), kRunTextMessage, 0, reinterpret_cast<LPARAM>(&show));
      }) {
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
            controller_.RequestClose();
            return true;
        case WM_DROPFILES:
            controller_.Drop(DroppedFiles(reinterpret_cast<HDROP>(wParam)));
            return true;
        case kRunTextMessage:
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return true;
        case kTransferEndedMessage:
            OnTransferEnded();
            return true;
        case WM_DESTROY:
            status_.Stop();
            StopTransfer();
            textsTo_.store(nullptr);
            SetWindowLongPtrW(window_, DWLP_USER, 0);
            window_ = nullptr;
            return true;
        default:
            return false;
    }
}

void MainDialog::Initialize() {
    textsTo_.store(window_);
    CenterWindow(window_);
    // The executable carries the icon; the window shows it only when told.
    const auto setIcon = [this](WPARAM which, int sizeMetric) {
        const int pixels = GetSystemMetrics(sizeMetric);
        SendMessageW(window_, WM_SETICON, which,
                     reinterpret_cast<LPARAM>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_KESTREL),
                                                         IMAGE_ICON, pixels, pixels, LR_SHARED)));
    };
    setIcon(ICON_BIG, SM_CXICON);
    setIcon(ICON_SMALL, SM_CXSMICON);
    statusTip_ = MakeTip(instance_, window_);
    DragAcceptFiles(window_, TRUE);
    controller_.Start();
}

void MainDialog::OnCommand(int id, int code) {
    switch (Notice(id, code)) {
        case Notice(IDC_PC_PATH, EN_CHANGE):
            return OnEdited(Box::pcPath, id);
        case Notice(IDC_PC_PATH, EN_KILLFOCUS):
        case Notice(IDOK, BN_CLICKED):  // Enter: proposes, starts nothing
            return controller_.CommitPcPath();
        case Notice(IDC_DEVICE_NAME, EN_CHANGE):
            return OnEdited(Box::deviceName, id);
        case Notice(IDC_DEVICE_DIRECTORY, CBN_EDITCHANGE):
            return OnEdited(Box::deviceDirectory, id);
        case Notice(IDC_DEVICE_DIRECTORY, CBN_SELCHANGE):  // read once the box shows the choice
            PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), 0);
            return;
        case Notice(IDC_PORT, CBN_DROPDOWN):
            return controller_.RefreshPorts();
        case Notice(IDC_PORT, CBN_SELCHANGE):
            return controller_.ChoosePort(
                static_cast<std::size_t>(SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0)));
        case Notice(IDC_FETCH_AS_UTF8, BN_CLICKED):
            return controller_.SetFetchAsUtf8(IsDlgButtonChecked(window_, id) == BST_CHECKED);
        case Notice(IDC_DOWNLOAD, BN_CLICKED):
            return controller_.Download();
        case Notice(IDC_UPLOAD, BN_CLICKED):
            return controller_.Upload();
        case Notice(IDC_BROWSE, BN_CLICKED):
            return controller_.Browse();
        case Notice(IDC_EXIT, BN_CLICKED):
            return controller_.ExitOrCancel();
        case Notice(IDCANCEL, BN_CLICKED):  // Escape
            return controller_.Escape();
        case Notice(IDC_ABOUT, BN_CLICKED):
            return controller_.About();
        default:
            return;
    }
}

// A rejected edit goes back: the box keeps what the controller holds, the
// caret where the typing began.
void MainDialog::OnEdited(Box box, int id) {
    HWND edit = EditOf(window_, id);
    const std::wstring typed = WindowText(edit);
    if (controller_.Edit(box, typed)) return;
    const std::wstring& kept = controller_.Text(box);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::size_t added = typed.size() > kept.size() ? typed.size() - kept.size() : 0;
    const WPARAM caret = end > added ? end - added : 0;
    SetWindowTextW(edit, kept.c_str());
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void MainDialog::OnTransferEnded() {
    if (!run_) return;
    const Result end = run_->Wait();  // the run is over: this joins its thread at once
    run_.reset();
    controller_.OnRunEnded(end);
}

// Cancels a run still going and waits for it, still taking the texts it sends.
void MainDialog::StopTransfer() {
    if (!run_) return;
    run_->Cancel();
    WaitTakingTexts(runEnded_.get());
    run_.reset();
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
