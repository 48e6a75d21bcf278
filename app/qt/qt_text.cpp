#include "app/qt/qt_text.h"

#include <string>

namespace kestrel {
namespace {

// Native text is UTF-8 on POSIX and UTF-16 on Windows; the overload fits the
// platform's choice without a conditional.
inline QString FromNative(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
inline QString FromNative(const std::wstring& wide) {
    return QString::fromStdWString(wide);
}
inline void ToNative(const QString& text, std::string& utf8) {
    utf8 = text.toStdString();
}
inline void ToNative(const QString& text, std::wstring& wide) {
    wide = text.toStdWString();
}

// Bytes that are not GBK: keep what is plain ASCII, mark the rest.
QString Lenient(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text.append(value < 0x80 ? QChar(static_cast<char16_t>(value))
                                 : QChar(QChar::ReplacementCharacter));
    }
    return text;
}

}  // namespace

QString QStringFromGbk(std::string_view gbk) {
    if (const auto text = FromGbk(gbk)) return FromNative(*text);
    return Lenient(gbk);
}

QString QStringFromUserText(const UserText& text) {
    return FromNative(text);
}

UserText UserTextFromQString(const QString& text) {
    UserText native;
    ToNative(text, native);
    return native;
}

QString QStringFromPath(const std::filesystem::path& path) {
    return FromNative(path.native());
}

std::filesystem::path PathFromQString(const QString& text) {
    return std::filesystem::path(UserTextFromQString(text));
}

}  // namespace kestrel
