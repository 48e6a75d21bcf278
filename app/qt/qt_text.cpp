#include "app/qt/qt_text.h"

#include <string>

namespace kestrel {
namespace {

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
    if (const auto text = FromGbk(gbk)) return QString::fromStdString(*text);
    return Lenient(gbk);
}

QString QStringFromUserText(const UserText& text) {
    return QString::fromStdString(text);
}

UserText UserTextFromQString(const QString& text) {
    return text.toStdString();
}

QString QStringFromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.native());
}

std::filesystem::path PathFromQString(const QString& text) {
    return std::filesystem::path(UserTextFromQString(text));
}

}  // namespace kestrel
