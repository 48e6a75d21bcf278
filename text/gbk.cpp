#include "text/gbk.h"

#include <array>
#include <cstdint>

#include "text/gbk_table.h"
#include "text/utf8.h"

namespace kestrel::gbk {
namespace {

constexpr unsigned char kEuroByte = 0x80;
constexpr char16_t kEuro = 0x20AC;

// The character of a two-byte code, 0 when the code is not GBK.
char16_t TwoByteCharacter(unsigned char lead, unsigned char trail) {
    if (lead < kFirstLead || lead > kLastLead) return 0;
    if (trail < kFirstTrail || trail > kLastTrail || trail == kSkippedTrail) return 0;
    const std::size_t column = trail - kFirstTrail - (trail > kSkippedTrail ? 1U : 0U);
    return kTwoByteCodes[static_cast<std::size_t>(lead - kFirstLead) * kTrailsPerLead + column];
}

// GBK for each character of the Basic Multilingual Plane: the two bytes
// lead first, kEuroByte for the euro sign, 0 where GBK has none. Surrogates
// stay 0, so a UTF-16 surrogate (a character beyond the plane, or a lone
// one) fails like any other character GBK lacks.
class ReverseTable {
  public:
    ReverseTable() {
        codes_[kEuro] = kEuroByte;
        for (std::size_t slot = 0; slot < kTwoByteSlots; ++slot) {
            if (kTwoByteCodes[slot] == 0) continue;
            const std::size_t lead = kFirstLead + slot / kTrailsPerLead;
            std::size_t trail = kFirstTrail + slot % kTrailsPerLead;
            if (trail >= kSkippedTrail) ++trail;
            codes_[kTwoByteCodes[slot]] = static_cast<std::uint16_t>(lead << 8U | trail);
        }
    }

    std::uint16_t CodeOf(char16_t character) const { return codes_[character]; }

  private:
    std::array<std::uint16_t, 0x10000> codes_{};
};

const ReverseTable& Reverse() {
    // Built once, on first use, from the one generated table; never changed.
    static const ReverseTable table;
    return table;
}

// Writes the GBK of one character at `out` (room for two bytes) and
// returns the end of what it wrote; null when GBK has none.
char* WriteGbk(char* out, char32_t character, const ReverseTable& reverse) {
    if (character < 0x80) {
        *out++ = static_cast<char>(character);
        return out;
    }
    if (character > 0xFFFF) return nullptr;
    const std::uint16_t code = reverse.CodeOf(static_cast<char16_t>(character));
    if (code == 0) return nullptr;
    if (code > 0xFF) *out++ = static_cast<char>(code >> 8U);
    *out++ = static_cast<char>(code & 0xFFU);
    return out;
}

// Calls `emit` with each character of a GBK text; false (at once) when the
// text is not GBK.
template <typename Emit>
bool EachCharacter(std::string_view gbk, Emit emit) {
    for (std::size_t at = 0; at < gbk.size(); ++at) {
        const auto lead = static_cast<unsigned char>(gbk[at]);
        if (lead < 0x80) {
            emit(static_cast<char16_t>(lead));
        } else if (lead == kEuroByte) {
            emit(kEuro);
        } else {
            if (at + 1 == gbk.size()) return false;
            const char16_t character =
                TwoByteCharacter(lead, static_cast<unsigned char>(gbk[++at]));
            if (character == 0) return false;
            emit(character);
        }
    }
    return true;
}

template <typename Unit>
std::optional<std::string> FromUnits16(std::basic_string_view<Unit> text) {
    static_assert(sizeof(Unit) == 2, "UTF-16 units");
    const ReverseTable& reverse = Reverse();
    std::string out(text.size() * 2, '\0');
    char* end = out.data();
    for (const Unit unit : text) {
        end = WriteGbk(end, static_cast<char16_t>(unit), reverse);
        if (!end) return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

template <typename Text>
std::optional<Text> ToUnits16(std::string_view gbk) {
    using Unit = typename Text::value_type;
    Text out(gbk.size(), Unit());  // a character takes one unit, and at least one byte
    Unit* end = out.data();
    if (!EachCharacter(gbk, [&end](char16_t c) { *end++ = static_cast<Unit>(c); })) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

// The platform's text: UTF-8 where its unit is a byte, UTF-16 elsewhere.
template <typename View>
std::optional<std::string> FromPlatformText(View text) {
    if constexpr (sizeof(typename View::value_type) == 1) {
        return FromUtf8(std::string_view(text.data(), text.size()));
    } else {
        return FromUnits16(text);
    }
}

template <typename Text>
std::optional<Text> ToPlatformText(std::string_view gbk) {
    if constexpr (sizeof(typename Text::value_type) == 1) {
        return ToUtf8(gbk);
    } else {
        return ToUnits16<Text>(gbk);
    }
}

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8) {
    const ReverseTable& reverse = Reverse();
    std::string out(utf8.size(), '\0');  // GBK never takes more bytes than UTF-8
    char* end = out.data();
    for (std::size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {  // most of most texts
            *end++ = utf8[at++];
            continue;
        }
        const utf8::Character character = utf8::CharacterAt(utf8, at);
        if (character.length == 0) return std::nullopt;
        end = WriteGbk(end, character.code, reverse);
        if (!end) return std::nullopt;
        at += character.length;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::optional<std::string> ToUtf8(std::string_view gbk) {
    std::string out(gbk.size() * 3, '\0');  // the byte 0x80 takes three
    char* end = out.data();
    if (!EachCharacter(gbk, [&end](char16_t c) { end = utf8::Write(end, c); })) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::optional<std::string> FromUtf16(std::u16string_view utf16) {
    return FromUnits16(utf16);
}

std::optional<std::u16string> ToUtf16(std::string_view gbk) {
    return ToUnits16<std::u16string>(gbk);
}

std::optional<std::string> FromUserText(UserTextView text) {
    return FromPlatformText(text);
}

std::optional<UserText> ToUserText(std::string_view gbk) {
    return ToPlatformText<UserText>(gbk);
}

}  // namespace kestrel::gbk
