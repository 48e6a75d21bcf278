// The text conversions as pure functions of bytes; the cases that go
// through files (hello, gtx of 100, unwrap of 30/24/23) are in routing_test.
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

TEST(TextFileTest, StoresTotalLengthLittleEndianInBothFields) {
    const ConversionResult wrapped = WrapTextBytes(Filled(0x12345 - 24));
    ASSERT_TRUE(wrapped.Ok());
    ASSERT_EQ(wrapped.bytes.size(), 0x12345u);
    EXPECT_EQ(Bytes(wrapped.bytes.begin() + 10, wrapped.bytes.begin() + 14), Hex("45 23 01 00"));
    EXPECT_EQ(Bytes(wrapped.bytes.begin() + 19, wrapped.bytes.begin() + 23), Hex("45 23 01 00"));
}

TEST(TextFileTest, RewrapReplacesTheSixteenByteHeader) {
    const Bytes gtx17 = Filled(17);
    const ConversionResult one = RewrapTextBytes(gtx17);
    ASSERT_TRUE(one.Ok());
    ASSERT_EQ(one.bytes.size(), 25u);
    EXPECT_EQ(one.bytes[10], 0x19);
    EXPECT_EQ(one.bytes[19], 0x19);
    EXPECT_EQ(one.bytes[24], gtx17[16]);

    for (const std::size_t size : {0u, 1u, 16u}) {
        const ConversionResult none = RewrapTextBytes(Filled(size));
        EXPECT_FALSE(none.Ok()) << size;
        EXPECT_EQ(none.failure, texts::kNoTextBody) << size;
    }
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
