#include "link/link_texts.h"

#include "text/gbk.h"

namespace kestrel::texts {

std::string PortName(std::string_view name) {
    return gbk::FromUtf8(name).value_or(std::string(name));
}

std::string CannotOpenPort(std::string_view gbkPortName) {
    return std::string(kCannotOpenPortBefore).append(gbkPortName).append("!");
}

}  // namespace kestrel::texts
