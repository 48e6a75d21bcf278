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

// Appends the GBK of one character; false when GBK has none.
bool AppendGbk(std::string& out, char32_t character, const ReverseTable& reverse) {
    if (character < 0x80) {
        out.push_back(static_cast<char>(character));
        return true;
    }
    if (character > 0xFFFF) return false;
    const std::uint16_t code = reverse.CodeOf(static_cast<char16_t>(character));
    if (code == 0) return false;
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8U));
    out.push_back(static_cast<char>(code & 0xFFU));
    return true;
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
    std::string out;
    out.reserve(text.size() * 2);
    for (const Unit unit : text) {
        if (!AppendGbk(out, static_cast<char16_t>(unit), reverse)) return std::nullopt;
    }
    return out;
}

template <typename Text>
std::optional<Text> ToUnits16(std::string_view gbk) {
    Text out;
    out.reserve(gbk.size());
    using Unit = typename Text::value_type;
    if (!EachCharacter(gbk, [&out](char16_t c) { out.push_back(static_cast<Unit>(c)); })) {
        return std::nullopt;
    }
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
    std::string out;
    out.reserve(utf8.size());  // GBK never takes more bytes than UTF-8
    for (std::size_t at = 0; at < utf8.size();) {
        const utf8::Character character = utf8::CharacterAt(utf8, at);
        if (character.length == 0 || !AppendGbk(out, character.code, reverse)) {
            return std::nullopt;
        }
        at += character.length;
    }
    return out;
}

std::optional<std::string> ToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);  // a two-byte code takes at most three
    if (!EachCharacter(gbk, [&out](char16_t c) { utf8::Append(out, c); })) return std::nullopt;
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
