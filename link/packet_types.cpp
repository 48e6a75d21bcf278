#include "link/packet_types.h"

#include <array>

namespace kestrel {
namespace {

// Directory: "/", up to 59 bytes of directory, NUL. NewFile: EF EF, up to
// 23 bytes of name, NUL. OpenFile: "/", one byte, up to 23 bytes, NUL.
constexpr std::array kTable{
    PacketTypeInfo{PacketType::Start, "Start", 100, 100, 0},
    PacketTypeInfo{PacketType::Directory, "Directory", 2, 61, 1},
    PacketTypeInfo{PacketType::NewFile, "NewFile", 3, 26, 2},
    PacketTypeInfo{PacketType::Data, "Data", 1, 1024, 0},
    PacketTypeInfo{PacketType::EndOfFile, "EndOfFile", 0, 0, 0},
    PacketTypeInfo{PacketType::EndSession, "EndSession", 0, 0, 0},
    PacketTypeInfo{PacketType::OpenFile, "OpenFile", 3, 26, 2},
    PacketTypeInfo{PacketType::ReadRequest, "ReadRequest", 2, 2, 0},
};

}  // namespace

std::span<const PacketTypeInfo> PacketTypes() {
    return kTable;
}

const PacketTypeInfo* FindPacketType(std::uint8_t code) {
    for (const PacketTypeInfo& info : kTable) {
        if (static_cast<std::uint8_t>(info.type) == code) return &info;
    }
    return nullptr;
}

std::string_view PacketTypeName(std::uint8_t code) {
    const PacketTypeInfo* info = FindPacketType(code);
    return info == nullptr ? std::string_view("?") : info->name;
}

bool PayloadLengthFits(std::uint8_t code, std::size_t length) {
    const PacketTypeInfo* info = FindPacketType(code);
    return info != nullptr && length >= info->minLength && length <= info->maxLength;
}

}  // namespace kestrel
