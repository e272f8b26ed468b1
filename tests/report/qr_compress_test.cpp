#include "report/qr_compress.h"

#include <gtest/gtest.h>

#include <random>

namespace pravel {
namespace {

Bytes Encode(ByteSpan input) {
  TQRStream stream(1 << 30);
  {
    TQRCompress coder(stream, TQRCompressMode::Compress);
    for (const std::uint8_t b : input) coder.Encode(b);
  }
  Bytes out(static_cast<std::size_t>(stream.Size()));
  stream.SetPosition(0);
  stream.ReadBuffer(out);
  return out;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(TQRCompress, WorkedExamples) {
  EXPECT_EQ(Encode(Text("abc")), (Bytes{0x46, 0x3D, 0x01}));
  EXPECT_EQ(Encode(Text("aaaa")), (Bytes{0x46, 0x45}));
  EXPECT_EQ(Encode(Bytes{255}), (Bytes{0x00, 0x00}));
  EXPECT_EQ(Encode(Bytes{}), Bytes{});
  // Byte 0 starts with an 8-bit code: a whole byte, no padding byte after it.
  EXPECT_EQ(Encode(Bytes{0}).size(), 1U);
}

TEST(TQRCompress, RepeatedByteShrinksToOneBitEach) {
  const Bytes input(8000, 'x');
  EXPECT_LT(Encode(input).size(), 1000U + 8);
}

// Random data of several kinds decodes to itself, and the decoder reads
// exactly the bytes the encoder wrote, not the ones after them.
TEST(TQRCompress, RoundTripsAndStopsAtTheEncodersEnd) {
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    auto size = static_cast<std::size_t>(random() % 5000);
    const unsigned alphabet = round % 3 == 0 ? 256 : round % 3 == 1 ? 4 : 40;
    Bytes input(size);
    for (auto& b : input) b = static_cast<std::uint8_t>(random() % alphabet + (round % 2 ? 0 : 200));

    if (round == 0) {
      // A long run pushes the other byte values deep: codes of over 40 bits.
      input.assign(5000, 'a');
      for (int v = 0; v < 256; ++v) input.push_back(static_cast<std::uint8_t>(v));
      size = input.size();
    }
    const Bytes code = Encode(input);
    TQRStream stream(1 << 30);
    stream.WriteBuffer(code);
    stream.WriteBuffer(Bytes{0xFF, 0xEE, 0xDD});
    stream.SetPosition(0);
    TQRCompress decoder(stream, TQRCompressMode::Expand);
    Bytes output(size);
    for (auto& b : output) b = decoder.Decode();
    ASSERT_EQ(output, input) << "round " << round;
    ASSERT_EQ(stream.Position(), static_cast<std::int64_t>(code.size())) << "round " << round;
  }
}

TEST(TQRCompress, CorruptCodeRaisesInsteadOfReturningGarbage) {
  const auto decode_all = [](const Bytes& code, int count, std::int64_t limit = TQRCompress::kNoLimit) {
    TQRStream stream(1 << 30);
    stream.WriteBuffer(code);
    stream.SetPosition(0);
    TQRCompress decoder(stream, TQRCompressMode::Expand, limit);
    for (int i = 0; i < count; ++i) decoder.Decode();
  };
  // Eight 0 bits and a 1 lead to node 512, which is no byte.
  EXPECT_THROW(decode_all({0x00, 0x01}, 1), EMetafileError);
  EXPECT_NO_THROW(decode_all({0x00, 0x00}, 1));
  // The stream ends inside a code.
  EXPECT_THROW(decode_all({0x46, 0x3D}, 3), EMetafileError);
  // The limit ends it even though the stream goes on.
  EXPECT_NO_THROW(decode_all({0x46, 0x3D, 0x01}, 3, 3));
  EXPECT_THROW(decode_all({0x46, 0x3D, 0x01}, 3, 2), EMetafileError);
}

}  // namespace
}  // namespace pravel
