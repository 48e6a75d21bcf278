// The text conversions as pure functions of bytes.
#include "formats/text_file.h"

#include <gtest/gtest.h>

#include "formats/format_texts.h"
#include "tests/support/bytes.h"

namespace kestrel {
namespace {

using test::Bytes;
using test::Hex;

Bytes Filled(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

Bytes Tail(const Bytes& bytes, std::size_t from) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
}

TEST(TextFileTest, WrapsHelloIntoTheHandheldHeader) {
    const ConversionResult wrapped = WrapTextBytes(test::FromText("hello"));
    ASSERT_TRUE(wrapped.Ok());
    EXPECT_EQ(wrapped.bytes,
              Hex("00 00 00 00 00 01 00 18 00 00 1D 00 00 00 00 00 18 00 00 1D 00 00 00 00"
                  "68 65 6C 6C 6F"));
}

TEST(TextFileTest, StoresTotalLengthLittleEndianInBothFields) {
    const ConversionResult wrapped = WrapTextBytes(Filled(0x12345 - 24));
    ASSERT_TRUE(wrapped.Ok());
    ASSERT_EQ(wrapped.bytes.size(), 0x12345u);
    EXPECT_EQ(Bytes(wrapped.bytes.begin() + 10, wrapped.bytes.begin() + 14), Hex("45 23 01 00"));
    EXPECT_EQ(Bytes(wrapped.bytes.begin() + 19, wrapped.bytes.begin() + 23), Hex("45 23 01 00"));
}

TEST(TextFileTest, EmptyTextIsRefused) {
    const ConversionResult wrapped = WrapTextBytes({});
    EXPECT_FALSE(wrapped.Ok());
    EXPECT_EQ(wrapped.failure, texts::kEmptyText);
}

TEST(TextFileTest, RewrapReplacesTheSixteenByteHeader) {
    const Bytes gtx17 = Filled(17);
    const ConversionResult one = RewrapTextBytes(gtx17);
    ASSERT_TRUE(one.Ok());
    ASSERT_EQ(one.bytes.size(), 25u);
    EXPECT_EQ(one.bytes[10], 0x19);
    EXPECT_EQ(one.bytes[19], 0x19);
    EXPECT_EQ(one.bytes[24], gtx17[16]);

    const Bytes gtx100 = Filled(100);
    const ConversionResult hundred = RewrapTextBytes(gtx100);
    ASSERT_TRUE(hundred.Ok());
    EXPECT_EQ(hundred.bytes.size(), 108u);
    EXPECT_EQ(Tail(hundred.bytes, 24), Tail(gtx100, 16));

    for (const std::size_t size : {0u, 1u, 16u}) {
        const ConversionResult none = RewrapTextBytes(Filled(size));
        EXPECT_FALSE(none.Ok()) << size;
        EXPECT_EQ(none.failure, texts::kNoTextBody) << size;
    }
}

TEST(TextFileTest, UnwrapDropsTheHeaderUnexamined) {
    const Bytes received = Filled(30);
    const ConversionResult text = UnwrapTextBytes(received);
    ASSERT_TRUE(text.Ok());
    EXPECT_EQ(text.bytes, Tail(received, 24));

    const ConversionResult empty = UnwrapTextBytes(Filled(24));
    ASSERT_TRUE(empty.Ok());
    EXPECT_TRUE(empty.bytes.empty());

    const ConversionResult tooShort = UnwrapTextBytes(Filled(23));
    EXPECT_FALSE(tooShort.Ok());
    EXPECT_EQ(tooShort.failure, texts::kReceivedTextTooShort);
}

TEST(TextFileTest, UnwrapUndoesWrapAndRewrap) {
    for (const std::size_t size : {1u, 2u, 24u, 1000u, 70000u}) {
        const Bytes text = Filled(size);
        EXPECT_EQ(UnwrapTextBytes(WrapTextBytes(text).bytes).bytes, text) << size;
        Bytes gtx = Filled(16);
        gtx.insert(gtx.end(), text.begin(), text.end());
        EXPECT_EQ(UnwrapTextBytes(RewrapTextBytes(gtx).bytes).bytes, text) << size;
    }
}

}  // namespace
}  // namespace kestrel
