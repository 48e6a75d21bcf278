// Decoding of application images, against images made by the test encoder
// with a random table (so no real table is needed or assumed).
#include "formats/application_image.h"

#include <gtest/gtest.h>

#include "formats/format_texts.h"
#include "tests/support/bytes.h"
#include "tests/support/image_codec.h"

namespace kestrel::test {
namespace {

Bytes Filled(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 29);
    return bytes;
}

class DecodeTest : public ::testing::Test {
  protected:
    DecodeTest()
        : tableBytes_(RandomPermutationTable(42)),
          table_(*SubstitutionTable::FromBytes(tableBytes_)) {}

    ConversionResult Decode(const Bytes& image) const {
        return DecodeApplicationImage(image, table_);
    }
    // The plain byte that coded byte c stands for when decoded with key row r.
    std::uint8_t Plain(std::uint8_t row, std::uint8_t coded) const {
        return ColumnOf(tableBytes_, row, coded);
    }

    // A plain application with key length L, M kept bytes and a tail.
    static PlainApplication Make(std::size_t keyLength, std::size_t kept, std::size_t tail) {
        return {Filled(keyLength, 1), Filled(keyLength, 100), Filled(78, 50), Filled(kept, 7),
                Filled(tail, 9)};
    }

    Bytes tableBytes_;
    SubstitutionTable table_;
};

TEST_F(DecodeTest, DecodesWhatTheEncoderCoded) {
    // (key length, kept bytes, tail); a tail of 0 ends the image after keyTail.
    const std::size_t layouts[][3] = {{1, 300, 123},  {2, 300, 123}, {7, 300, 123},
                                      {30, 300, 123}, {6, 9, 0},     {4, 100, 20}};
    for (const auto& [keyLength, kept, tail] : layouts) {
        const PlainApplication plain = Make(keyLength, kept, tail);
        const Bytes image = EncodeApplicationImage(tableBytes_, plain);
        ASSERT_EQ(image.size(), 1 + 2 * keyLength + 2 + 78 + kept + tail) << keyLength;
        const ConversionResult decoded = Decode(image);
        ASSERT_TRUE(decoded.Ok()) << keyLength;
        EXPECT_EQ(decoded.bytes, DecodedApplication(plain)) << keyLength;
        EXPECT_EQ(decoded.bytes.size(), kept + keyLength + tail) << keyLength;
    }
}

TEST_F(DecodeTest, KeyLengthOneUsesOneRowThroughout) {
    const Bytes image = EncodeApplicationImage(tableBytes_, Make(1, 5, 5));
    const std::size_t keptStart = 1 + 1 + 2 + 78;
    const std::size_t keyTail = keptStart + 5;
    const auto row = static_cast<std::uint8_t>(image[1] ^ image[keyTail]);
    const ConversionResult decoded = Decode(image);
    ASSERT_TRUE(decoded.Ok());
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(decoded.bytes[i], Plain(row, image[keptStart + i]));
        EXPECT_EQ(decoded.bytes[6 + i], Plain(row, image[keyTail + 1 + i]));
    }
}

TEST_F(DecodeTest, NothingKeptStartsWithKeyTail) {
    const PlainApplication plain = Make(3, 0, 4);
    const ConversionResult decoded = Decode(EncodeApplicationImage(tableBytes_, plain));
    ASSERT_TRUE(decoded.Ok());
    ASSERT_EQ(decoded.bytes.size(), 7u);
    EXPECT_EQ(Bytes(decoded.bytes.begin(), decoded.bytes.begin() + 3), plain.keyTail);
}

TEST_F(DecodeTest, KeyIndexRunsOnIntoTheTail) {
    // L = 7, M = 0: 78 body bytes, so the first tail byte is coded byte 78,
    // decoded with rowKey[78 % 7] = rowKey[1].
    const Bytes seven = EncodeApplicationImage(tableBytes_, Make(7, 0, 3));
    const std::size_t sevenTail = 1 + 7 + 2 + 78 + 7;
    const auto rowKey1 = static_cast<std::uint8_t>(seven[2] ^ seven[sevenTail - 7 + 1]);
    const ConversionResult a = Decode(seven);
    ASSERT_TRUE(a.Ok());
    EXPECT_EQ(a.bytes[7], Plain(rowKey1, seven[sevenTail]));

    // L = 5, M = 2: kept bytes are coded bytes 78 and 79 (rowKey[3], rowKey[4]);
    // the first tail byte is coded byte 80 (rowKey[0]).
    const Bytes five = EncodeApplicationImage(tableBytes_, Make(5, 2, 3));
    const std::size_t keyTail = 1 + 5 + 2 + 80;
    auto rowKey = [&](std::size_t i) {
        return static_cast<std::uint8_t>(five[1 + i] ^ five[keyTail + i]);
    };
    const ConversionResult b = Decode(five);
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(b.bytes[0], Plain(rowKey(3), five[keyTail - 2]));
    EXPECT_EQ(b.bytes[1], Plain(rowKey(4), five[keyTail - 1]));
    EXPECT_EQ(b.bytes[2 + 5], Plain(rowKey(0), five[keyTail + 5]));
}

TEST_F(DecodeTest, EqualKeyHalvesSelectRowZero) {
    PlainApplication plain = Make(2, 3, 0);
    plain.keyTail = plain.keyHead;
    const Bytes image = EncodeApplicationImage(tableBytes_, plain);
    const ConversionResult decoded = Decode(image);
    ASSERT_TRUE(decoded.Ok());
    EXPECT_EQ(decoded.bytes, DecodedApplication(plain));
    EXPECT_EQ(decoded.bytes[0], Plain(0, image[1 + 2 + 2 + 78]));
}

TEST_F(DecodeTest, BadKeyLengthIsRefused) {
    for (const int keyLength : {0, 31, 255}) {
        Bytes image(400, 0);
        image[0] = static_cast<std::uint8_t>(keyLength);
        const ConversionResult decoded = Decode(image);
        EXPECT_FALSE(decoded.Ok()) << keyLength;
        EXPECT_EQ(decoded.failure, texts::kBadKeyLength);
        EXPECT_TRUE(decoded.bytes.empty());
    }
}

TEST_F(DecodeTest, TruncatedImageIsRefusedAtEveryLength) {
    // Every cut short of the end of keyTail leaves a layout the image cannot
    // hold; the cut right at the end of keyTail is still whole.
    const Bytes whole = EncodeApplicationImage(tableBytes_, Make(30, 65535, 0));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const ConversionResult decoded = Decode(cut);
        ASSERT_FALSE(decoded.Ok()) << size;
        ASSERT_EQ(decoded.failure, texts::kTruncatedImage) << size;
    }
    EXPECT_TRUE(Decode(whole).Ok());
}

}  // namespace
}  // namespace kestrel::test
