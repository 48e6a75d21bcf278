#include "app/qt/gbk_byte_limit.h"

#include "app/platform/gbk_text.h"
#include "app/qt/qt_text.h"

namespace kestrel {

GbkByteLimit::GbkByteLimit(std::size_t maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State GbkByteLimit::validate(QString& input, int& /*position*/) const {
    const auto gbk = ToGbk(UserTextFromQString(input));
    return gbk && gbk->size() <= maxBytes_ ? Acceptable : Invalid;
}

}  // namespace kestrel
