#include "tests/win32/dialog/dialog_resource.h"

#include <cstring>

namespace kestrel::test {
namespace {

// A cursor over the template's words; the layout is fixed by the format.
class TemplateCursor {
  public:
    TemplateCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Next() {
        T value{};
        if (at_ + sizeof(T) > size_) {
            failed_ = true;
            return value;
        }
        std::memcpy(&value, data_ + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }

    std::wstring Text() {
        std::wstring text;
        for (wchar_t unit = Next<wchar_t>(); unit != 0 && !failed_; unit = Next<wchar_t>()) {
            text += unit;
        }
        return text;
    }

    // A name or an ordinal: 0 for none, 0xFFFF then the ordinal, or a text.
    WORD OrdinalOrText(std::wstring* text) {
        const WORD first = Next<WORD>();
        if (first == 0) return 0;
        if (first == 0xFFFF) return Next<WORD>();
        at_ -= sizeof(WORD);
        if (text != nullptr)
            *text = Text();
        else
            Text();
        return 0;
    }

    void AlignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t bytes) { at_ += bytes; }
    bool Failed() const { return failed_ || at_ > size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

TemplateItem ReadItem(TemplateCursor& cursor) {
    cursor.AlignToDword();
    TemplateItem item;
    cursor.Next<DWORD>();  // help id
    cursor.Next<DWORD>();  // extended style
    item.style = cursor.Next<DWORD>();
    item.x = cursor.Next<short>();
    item.y = cursor.Next<short>();
    item.cx = cursor.Next<short>();
    item.cy = cursor.Next<short>();
    item.id = cursor.Next<DWORD>();
    item.classOrdinal = cursor.OrdinalOrText(nullptr);
    cursor.OrdinalOrText(&item.text);
    cursor.Skip(cursor.Next<WORD>());  // creation data
    return item;
}

}  // namespace

std::optional<DialogResource> ReadDialogResource(int id) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (found == nullptr) return std::nullopt;
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
    TemplateCursor cursor(data, SizeofResource(nullptr, found));
    if (cursor.Next<WORD>() != 1 || cursor.Next<WORD>() != 0xFFFF) return std::nullopt;

    DialogResource dialog;
    cursor.Next<DWORD>();  // help id
    cursor.Next<DWORD>();  // extended style
    dialog.style = cursor.Next<DWORD>();
    const WORD count = cursor.Next<WORD>();
    cursor.Skip(2 * sizeof(short));  // x, y
    dialog.cx = cursor.Next<short>();
    dialog.cy = cursor.Next<short>();
    cursor.OrdinalOrText(nullptr);  // menu
    cursor.OrdinalOrText(nullptr);  // class
    dialog.caption = cursor.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = cursor.Next<WORD>();
        cursor.Skip(sizeof(WORD) + 2);  // weight, italic, character set
        dialog.typeface = cursor.Text();
    }
    for (WORD item = 0; item < count; ++item) dialog.items.push_back(ReadItem(cursor));
    if (cursor.Failed()) return std::nullopt;
    return dialog;
}

}  // namespace kestrel::test
