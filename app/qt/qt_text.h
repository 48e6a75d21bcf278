#pragma once
// The dialog's edge between Qt's text and the program's: GBK device and
// status texts, the user's own text (the boxes), and paths. The dialog is
// built where the user's text is UTF-8 (Linux, macOS).
//
// Promises:
// - QStringFromGbk never fails: bytes that are not GBK show as U+FFFD, so a
//   damaged name from a device still reaches the status line.
// - UserTextFromQString and PathFromQString are exact inverses of their
//   QString counterparts for any text the platform can hold.

#include <QString>
#include <filesystem>
#include <string_view>

#include "app/core/gbk_text.h"

namespace kestrel {

QString QStringFromGbk(std::string_view gbk);

QString QStringFromUserText(const UserText& text);
UserText UserTextFromQString(const QString& text);

QString QStringFromPath(const std::filesystem::path& path);
std::filesystem::path PathFromQString(const QString& text);

}  // namespace kestrel
