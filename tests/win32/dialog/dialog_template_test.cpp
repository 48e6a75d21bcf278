// The dialog as resource 101 describes it (caption, font, frame, size, and
// every control with its id, kind, text, rectangle and style, in template
// order), the dialog the system makes from it, and the program's icon,
// version and manifest.

#include <gtest/gtest.h>

#include <array>
#include <cwctype>
#include <vector>

#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "tests/app/user_text.h"
#include "tests/win32/dialog/dialog_driver.h"
#include "tests/win32/dialog/dialog_resource.h"

namespace kestrel::test {
namespace {

constexpr DWORD kNoId = 0xFFFFFFFF;
constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kComboBox = 0x85;
constexpr DWORD kBox = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kList = WS_VSCROLL | WS_TABSTOP | CBS_SORT;

struct ControlRow {
    DWORD id;
    WORD kind;
    const char* text;  // UTF-8; null: any
    short x, y, cx, cy;
    DWORD style;  // bits that must be set
};

// The template, in order, which is also the tab order.
const std::array<ControlRow, 13> kTemplate = {{
    {kNoId, kStatic, "电脑文件", 14, 19, 41, 11, SS_LEFT},
    {kNoId, kStatic, "文曲星目录", 14, 62, 48, 11, SS_LEFT},
    {kNoId, kStatic, "文曲星文件", 14, 40, 48, 11, SS_LEFT},
    {IDC_PC_PATH, kEdit, "", 65, 19, 79, 12, kBox},
    {IDC_DEVICE_NAME, kEdit, "", 65, 40, 79, 12, kBox},
    {IDC_DOWNLOAD, kButton, "下载", 15, 128, 34, 13, BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_UPLOAD, kButton, "上传", 75, 128, 34, 13, BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_EXIT, kButton, "退出", 138, 128, 34, 13, BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_BROWSE, kButton, "浏览", 162, 20, 22, 12, BS_PUSHBUTTON | WS_TABSTOP},
    {kNoId, kStatic, nullptr, 15, 86, 174, 11, SS_LEFT},
    {IDC_STATUS, kEdit, "", 14, 105, 158, 12, kBox | ES_READONLY},
    {IDC_PORT, kComboBox, "", 157, 40, 34, 59, kList | CBS_DROPDOWNLIST},
    {IDC_DEVICE_DIRECTORY, kComboBox, "", 65, 59, 79, 63, kList | CBS_DROPDOWN},
}};

const wchar_t* KindName(WORD kind) {
    switch (kind) {
        case kButton:
            return L"button";
        case kEdit:
            return L"edit";
        case kStatic:
            return L"static";
        default:
            return L"combobox";
    }
}

TEST(DialogResource101, HasItsCaptionFrameSizeAndFont) {
    const std::optional<DialogResource> dialog = ReadDialogResource(IDD_MAIN_DIALOG);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->caption, L"KESTREL");
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(dialog->style & frame, frame);
    EXPECT_EQ(dialog->cx, 198);
    EXPECT_EQ(dialog->cy, 149);
    EXPECT_EQ(dialog->pointSize, 10);
    EXPECT_EQ(dialog->typeface, User("宋体"));
}

TEST(DialogResource101, ListsEveryControlWithItsIdKindTextPlaceAndStyle) {
    const std::optional<DialogResource> dialog = ReadDialogResource(IDD_MAIN_DIALOG);
    ASSERT_TRUE(dialog.has_value());
    ASSERT_EQ(dialog->items.size(), kTemplate.size());
    for (std::size_t at = 0; at < kTemplate.size(); ++at) {
        const ControlRow& row = kTemplate[at];
        const TemplateItem& item = dialog->items[at];
        SCOPED_TRACE(at);
        EXPECT_EQ(item.id, row.id);
        EXPECT_EQ(item.classOrdinal, row.kind);
        if (row.text != nullptr) {
            EXPECT_EQ(item.text, User(row.text));
        }
        EXPECT_EQ(item.x, row.x);
        EXPECT_EQ(item.y, row.y);
        EXPECT_EQ(item.cx, row.cx);
        EXPECT_EQ(item.cy, row.cy);
        EXPECT_EQ(item.style & row.style, row.style) << std::hex << item.style;
        EXPECT_EQ(item.style & WS_VISIBLE, DWORD{WS_VISIBLE});
    }
    // The combo boxes differ only in this: one is a list, the other editable.
    EXPECT_EQ(dialog->items[11].style & 3, DWORD{CBS_DROPDOWNLIST});
    EXPECT_EQ(dialog->items[12].style & 3, DWORD{CBS_DROPDOWN});
    EXPECT_EQ(dialog->items[4].style & ES_READONLY, 0u) << "the name box takes typing";
}

std::wstring ClassOf(HWND window) {
    std::array<wchar_t, 64> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    std::wstring lower = name.data();
    for (wchar_t& unit : lower) unit = static_cast<wchar_t>(std::towlower(unit));
    return lower;
}

class MadeDialog : public ::testing::Test {
  protected:
    StubPicker picker;
    PortLog ports;
    DialogDriver driver{RefusingOpener(ports), picker};
};

TEST_F(MadeDialog, KeepsTheTemplateOrderForTabbing) {
    HWND child = GetWindow(driver.Window(), GW_CHILD);
    for (const ControlRow& row : kTemplate) {
        ASSERT_NE(child, nullptr) << "too few controls";
        SCOPED_TRACE(row.text != nullptr ? row.text : "credit line");
        EXPECT_EQ(static_cast<DWORD>(GetDlgCtrlID(child)), row.id);
        EXPECT_EQ(ClassOf(child), KindName(row.kind));
        if (row.text != nullptr && row.kind != kComboBox) {
            EXPECT_EQ(WindowText(child), User(row.text));
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template lists";
}

TEST_F(MadeDialog, SitsInTheMiddleOfTheScreen) {
    RECT place{};
    GetWindowRect(driver.Window(), &place);
    EXPECT_EQ(place.left, (GetSystemMetrics(SM_CXFULLSCREEN) - (place.right - place.left)) / 2);
    EXPECT_EQ(place.top, (GetSystemMetrics(SM_CYFULLSCREEN) - (place.bottom - place.top)) / 2);
}

TEST(ProgramResources, HoldTheIconAsIconOneOfGroup102) {
    HRSRC group = FindResourceW(nullptr, MAKEINTRESOURCEW(IDI_KESTREL), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    ASSERT_NE(bytes, nullptr);
    // A group: reserved, type, count, then 14-byte entries whose last two bytes are the id.
    EXPECT_EQ(*reinterpret_cast<const WORD*>(bytes + 4), 5) << "kestrel.ico holds five sizes";
    EXPECT_EQ(*reinterpret_cast<const WORD*>(bytes + 6 + 12), 1) << "the first is icon 1";
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_ICON), nullptr);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KESTREL)), nullptr);
}

TEST(ProgramResources, HoldAVersionAndAManifest) {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    std::vector<BYTE> block(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_FALSE(block.empty()) << "no version resource";
    ASSERT_TRUE(
        GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>(MAKELONG(KESTREL_TEST_VERSION_MINOR, KESTREL_TEST_VERSION_MAJOR)));
    wchar_t* name = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404B0\\ProductName",
                               reinterpret_cast<void**>(&name), &length));
    EXPECT_EQ(std::wstring(name), L"KESTREL");
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
}

}  // namespace
}  // namespace kestrel::test
