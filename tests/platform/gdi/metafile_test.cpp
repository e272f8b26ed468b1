#include "platform/gdi/metafile.h"

#include <gtest/gtest.h>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/record_reader.h"

namespace pravel::gdi {
namespace {

// A header record of 88 bytes followed by the given records and an EOF record.
Bytes MakeEmf(const std::vector<Bytes>& records = {}) {
  Bytes out;
  AppendU32(out, 1);
  AppendU32(out, 88);
  for (int v : {0, 0, 99, 199}) AppendI32(out, v);     // rclBounds
  for (int v : {0, 0, 2645, 5291}) AppendI32(out, v);  // rclFrame, 0.01 mm
  AppendU32(out, kEmfSignature);
  AppendU32(out, 0x10000);
  AppendU32(out, 0);  // nBytes, patched below
  AppendU32(out, static_cast<std::uint32_t>(records.size() + 2));
  AppendU16(out, 1);
  AppendU16(out, 0);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);
  for (int v : {1920, 1080, 508, 286}) AppendI32(out, v);  // szlDevice, szlMillimeters
  for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
  for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) AppendU32(out, v);  // EOF
  StoreU32(out, 48, static_cast<std::uint32_t>(out.size()));
  return out;
}

TEST(Metafile, KeepsExactBytesAndHeader) {
  const Bytes moveto = {27, 0, 0, 0, 16, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0};
  const Bytes bytes = MakeEmf({moveto});
  const Metafile mf = Metafile::FromBytes(ByteSpan(bytes));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), mf.Data().begin(), mf.Data().end()));
  EXPECT_EQ(mf.Header().nBytes, bytes.size());
  EXPECT_EQ(mf.Header().rclFrame, (RectL{0, 0, 2645, 5291}));
  EXPECT_EQ(mf.Header().szlDevice, (SizeL{1920, 1080}));
  EXPECT_EQ(mf.Header().szlMillimeters, (SizeL{508, 286}));
  // 2645 * 1920 / 50800 = 99.97, 5291 * 1080 / 28600 = 199.80
  EXPECT_EQ(mf.Width(), 100);
  EXPECT_EQ(mf.Height(), 200);

  RecordReader reader(mf);
  std::vector<std::uint32_t> types;
  while (auto r = reader.Next()) types.push_back(r->type);
  EXPECT_EQ(types, (std::vector<std::uint32_t>{1, 27, 14}));
}

TEST(Metafile, IgnoresBytesAfterNBytes) {
  Bytes bytes = MakeEmf();
  const auto n = bytes.size();
  bytes.resize(n + 12, 0xAB);
  const Metafile mf = Metafile::FromBytes(std::move(bytes));
  EXPECT_EQ(mf.Size(), n);
}

TEST(Metafile, RejectsInvalidBytes) {
  const auto rejects = [](Bytes b) { EXPECT_THROW(Metafile::FromBytes(ByteSpan(b)), EMetafileError); };
  rejects({});
  Bytes b = MakeEmf();
  b[0] = 2;
  rejects(b);  // not a header record
  b = MakeEmf();
  b[40] = 'X';
  rejects(b);  // no signature
  b = MakeEmf();
  StoreU32(b, 48, static_cast<std::uint32_t>(b.size() + 4));
  rejects(b);  // nBytes past the data
  b = MakeEmf();
  b.resize(b.size() - 20);
  StoreU32(b, 48, static_cast<std::uint32_t>(b.size()));
  rejects(b);  // no EOF record
  b = MakeEmf({{27, 0, 0, 0, 4, 0, 0, 0}});
  rejects(b);  // record size below 8
  b = MakeEmf({{27, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0x7F}});
  rejects(b);  // record size past the end
  b = MakeEmf();
  StoreU32(b, 4, 40);
  rejects(b);  // header size too small
}

}  // namespace
}  // namespace pravel::gdi
