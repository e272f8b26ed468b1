#include "report/qr_page_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "report/ole_date.h"
#include "report/test_files.h"

namespace pravel {
namespace {

using test::MakePage;
using test::TempDir;

Bytes StreamBytes(TQRStream& stream) {
  Bytes out(static_cast<std::size_t>(stream.Size()));
  const std::int64_t position = stream.Position();
  stream.SetPosition(0);
  stream.ReadBuffer(out);
  stream.SetPosition(position);
  return out;
}

// A finished report with pages of the given EMF sizes; page k is filled with byte k.
Bytes BuildReport(const std::vector<std::size_t>& sizes, bool compressed, std::int32_t spill_limit = 1 << 30) {
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(spill_limit));
  list.SetCompression(compressed);
  for (std::size_t i = 0; i < sizes.size(); ++i) list.AddPage(MakePage(sizes[i], static_cast<std::uint8_t>(i + 1)));
  list.Finish();
  return StreamBytes(*list.Stream());
}

std::vector<std::int64_t> RecordOffsets(ByteSpan image) {
  std::vector<std::int64_t> offsets;
  for (std::size_t at = 128; at < image.size(); at = LoadU32(image, at + 4))
    offsets.push_back(static_cast<std::int64_t>(at));
  return offsets;
}

// The fill byte tells the pages apart.
std::uint8_t Fill(const gdi::Metafile& page) { return page.Data()[100]; }

void ExpectPage(TQRPageList& list, std::int32_t n) {
  const auto page = list.GetPage(n);
  ASSERT_TRUE(page.has_value()) << "page " << n;
  EXPECT_EQ(Fill(*page), n) << "page " << n;
}

TEST(TQRPageList, TwoPlainPagesHaveTheDocumentedLayout) {
  const Bytes image = BuildReport({300, 500}, false);
  ASSERT_EQ(image.size(), 952U);
  EXPECT_EQ(LoadU16(image, 0), 3);
  EXPECT_EQ(LoadU16(image, 2), 350);
  EXPECT_EQ(LoadI32(image, 8), 2);
  EXPECT_EQ(image[25], 0);
  EXPECT_EQ(LoadI32(image, 128), 1);
  EXPECT_EQ(LoadI32(image, 132), 440);
  EXPECT_EQ(LoadU32(image, 136), 1U);  // EMF header record
  EXPECT_EQ(LoadU32(image, 136 + 48), 300U);
  EXPECT_EQ(LoadI32(image, 436), 128);
  EXPECT_EQ(LoadI32(image, 440), 2);
  EXPECT_EQ(LoadI32(image, 444), 952);
  EXPECT_EQ(LoadU32(image, 448 + 48), 500U);
  EXPECT_EQ(LoadI32(image, 948), 440);
  EXPECT_EQ(Bytes(image.begin() + 136, image.begin() + 436), test::MakeEmf(300, 1));
}

TEST(TQRPageList, HeaderAndEmptyReports) {
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(1000));
  EXPECT_EQ(list.Stream()->Size(), 0);
  EXPECT_FALSE(list.GetPage(1).has_value());

  list.SetCompression(true);
  const double before = OleDateNow();
  list.Finish();
  const double after = OleDateNow();
  const Bytes image = StreamBytes(*list.Stream());
  ASSERT_EQ(image.size(), 128U);
  EXPECT_EQ(LoadI32(image, 8), 0);
  EXPECT_EQ(image[25], 1);
  EXPECT_GE(LoadF64(image, 16), before);
  EXPECT_LE(LoadF64(image, 16), after);
  EXPECT_FALSE(list.GetPage(1).has_value());
  EXPECT_FALSE(list.GetPage(0).has_value());
}

TEST(TQRPageList, PagesComeBackInAnyOrder) {
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "compressed" : "plain");
    const TempDir dir;
    const Bytes image = BuildReport({300, 1200, 400, 900, 5000, 160}, compressed);
    test::WriteFileBytes(dir / "r.qrp", image);
    const auto offsets = RecordOffsets(image);

    TQRPageList list;  // Compression comes from the file
    list.LoadFile((dir / "r.qrp").string());
    EXPECT_EQ(list.Compression(), compressed);
    ASSERT_EQ(list.PageCount(), 6);
    // Ascending: each read leaves the stream on the next record.
    for (std::int32_t n = 1; n <= 6; ++n) {
      ExpectPage(list, n);
      const auto expected = n < 6 ? offsets[static_cast<std::size_t>(n)] : static_cast<std::int64_t>(image.size());
      EXPECT_EQ(list.Stream()->Position(), expected);
    }
    // From the end, back to the middle, forward again, first and last.
    for (const std::int32_t n : {3, 6, 2, 5, 4, 1, 6, 1, 4}) ExpectPage(list, n);
    EXPECT_FALSE(list.GetPage(7).has_value());
    const std::int64_t position = list.Stream()->Position();
    const auto records = list.CheckRecords();
    EXPECT_EQ(list.Stream()->Position(), position);
    ASSERT_EQ(records.size(), 6U);
    EXPECT_EQ(records[5].Offset, offsets[5]);
    EXPECT_EQ(records[4].EmfBytes, 5000);
    EXPECT_EQ(list.GetPage(4)->Data().size(), 900U);
  }
}

TEST(TQRPageList, PagesSurviveTheMoveToATemporaryFile) {
  const TempDir dir;
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(2000, dir.Path().string()));
  list.SetCompression(true);
  for (std::uint8_t k = 1; k <= 20; ++k) list.AddPage(MakePage(700, k));
  list.Finish();
  EXPECT_FALSE(list.Stream()->InMemory());
  for (const std::int32_t n : {1, 2, 20, 10, 11, 3}) ExpectPage(list, n);
  EXPECT_EQ(list.CheckRecords().size(), 20U);
}

// A page that cannot be stored leaves the report as it was before it.
TEST(TQRPageList, FailedAddPageLeavesTheChainWhole) {
  const TempDir dir;
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(2000, (dir / "missing").string()));
  list.AddPage(MakePage(1000, 1));
  const std::int64_t size = list.Stream()->Size();
  EXPECT_THROW(list.AddPage(MakePage(1500, 2)), EFileCreateError);
  EXPECT_EQ(list.Stream()->Size(), size);
  EXPECT_EQ(list.PageCount(), 1);
  list.AddPage(MakePage(300, 2));
  list.Finish();
  ExpectPage(list, 1);
  ExpectPage(list, 2);
  EXPECT_EQ(list.CheckRecords().size(), 2U);
}

TEST(TQRPageList, SaveAfterLoadIsAnExactCopy) {
  const TempDir dir;
  Bytes image = BuildReport({300, 500, 400}, true);
  for (std::size_t at : {4, 5, 12, 15, 24, 26, 60, 127}) image[at] = static_cast<std::uint8_t>(0xA0 + at);
  test::WriteFileBytes(dir / "in.qrp", image);

  TQRPageList list;
  list.LoadFile((dir / "in.qrp").string());
  ExpectPage(list, 2);
  list.SaveFile((dir / "out.qrp").string());
  EXPECT_EQ(test::ReadFileBytes(dir / "out.qrp"), image);
  EXPECT_EQ(list.Stream()->Position(), static_cast<std::int64_t>(image.size()));
  // Right after saving, a middle page is found from the end.
  ExpectPage(list, 2);
  // Saving again replaces the file and leaves no temporary behind.
  list.SaveFile((dir / "out.qrp").string());
  EXPECT_EQ(test::ReadFileBytes(dir / "out.qrp"), image);
  auto names = dir.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"in.qrp", "out.qrp"}));
}

TEST(TQRPageList, SavingOntoTheLoadedFileFails) {
  const TempDir dir;
  const Bytes image = BuildReport({300, 500, 400}, false);
  const auto path = dir / "in.qrp";
  test::WriteFileBytes(path, image);
  TQRPageList list;
  list.LoadFile(path.string());
  try {
    list.SaveFile(path.string());
    FAIL() << "no error";
  } catch (const EFileCreateError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" + path.string() + "\". ", 0), 0U);
  }
  // Also through another name for the same file.
  std::filesystem::create_symlink(path, dir / "link.qrp");
  EXPECT_THROW(list.SaveFile((dir / "link.qrp").string()), EFileCreateError);
  EXPECT_EQ(test::ReadFileBytes(path), image);
  ExpectPage(list, 2);
  EXPECT_THROW(list.SaveFile((dir / "no" / "such.qrp").string()), EFileCreateError);
}

TEST(TQRPageList, LoadFailuresLeaveNoStream) {
  const TempDir dir;
  TQRPageList list;
  EXPECT_THROW(list.LoadFile((dir / "none.qrp").string()), EFileOpenError);
  EXPECT_EQ(list.Stream(), nullptr);

  const Bytes image = BuildReport({300}, false);
  Bytes negative = image;
  StoreU32(negative, 8, 0xFFFFFFFF);
  for (const Bytes& bad : {Bytes{}, Bytes(image.begin(), image.begin() + 100), negative}) {
    test::WriteFileBytes(dir / "bad.qrp", bad);
    EXPECT_THROW(list.LoadFile((dir / "bad.qrp").string()), EMetafileError);
    EXPECT_EQ(list.Stream(), nullptr);
    EXPECT_FALSE(list.GetPage(1).has_value());
  }
}

// ---- corrupt files -------------------------------------------------------

struct CorruptCase {
  const char* name;
  bool compressed;
  std::function<void(Bytes&, const std::vector<std::int64_t>&)> damage;
  std::vector<std::int32_t> bad_pages;
  std::vector<std::int32_t> good_pages;
  bool needs_decoding = false;  // CheckRecords cannot see it
};

void Put(Bytes& image, std::int64_t at, std::int64_t value) {
  StoreU32(image, static_cast<std::size_t>(at), static_cast<std::uint32_t>(value));
}

TEST(TQRPageList, CorruptFilesRaiseAndLaterLookupsStillWork) {
  using R = const std::vector<std::int64_t>&;
  const std::vector<CorruptCase> cases = {
      {"page count above the records", false, [](Bytes& b, R) { Put(b, 8, 5); }, {4, 5}, {1, 2, 3}},
      {"huge page count", false, [](Bytes& b, R) { Put(b, 8, 0x7FFFFFFF); }, {4, 1000, 0x7FFFFFFF}, {1, 2, 3}},
      {"NextOffset past the end", false, [](Bytes& b, R r) { Put(b, r[1] + 4, 50000); }, {2}, {1, 3}},
      {"NextOffset loops to its own record", false, [](Bytes& b, R r) { Put(b, r[0] + 4, r[0]); }, {1}, {3, 2}},
      {"NextOffset loops back", false, [](Bytes& b, R r) { Put(b, r[1] + 4, r[0]); }, {2}, {1, 3}},
      {"negative BackOffset", false, [](Bytes& b, R r) { Put(b, r[2] - 4, -1000); }, {2}, {1, 3}},
      {"last BackOffset outside",
       false,
       [](Bytes& b, R) { Put(b, static_cast<std::int64_t>(b.size()) - 4, 0x7FFFFFF0); },
       {3},
       {1, 2}},
      {"page number mismatch", false, [](Bytes& b, R r) { Put(b, r[1], 7); }, {2}, {1, 3}},
      {"nBytes past the record", false, [](Bytes& b, R r) { Put(b, r[0] + 8 + 48, 300 + 64); }, {1}, {2, 3}},
      {"huge nBytes", false, [](Bytes& b, R r) { Put(b, r[0] + 8 + 48, 0x7FFFFFF0); }, {1}, {2, 3}},
      {"nBytes short of the record", false, [](Bytes& b, R r) { Put(b, r[1] + 8 + 48, 496); }, {2}, {1, 3}},
      {"payload is no EMF", false, [](Bytes& b, R r) { b[static_cast<std::size_t>(r[2] + 8)] = 2; }, {3}, {1, 2}, true},
      {"flag says compressed", false, [](Bytes& b, R) { b[25] = 1; }, {1, 2, 3}, {}, true},
      {"flag says plain", true, [](Bytes& b, R) { b[25] = 0; }, {1, 2, 3}, {}},
      {"negative UncompressedSize", true, [](Bytes& b, R r) { Put(b, r[0] + 8, -1); }, {1}, {2, 3}},
      {"huge UncompressedSize", true, [](Bytes& b, R r) { Put(b, r[0] + 8, 0x7FFFFFFF); }, {1}, {2, 3}},
      {"more symbols than code", true, [](Bytes& b, R r) { Put(b, r[1] + 8, 500 + 40); }, {2}, {1, 3}, true},
      {"fewer symbols than code", true, [](Bytes& b, R r) { Put(b, r[1] + 8, 480); }, {2}, {1, 3}, true},
      {"bytes after the last record", false, [](Bytes& b, R) { b.resize(b.size() + 20); }, {3}, {1, 2}},
      {"damaged code",
       true,
       [](Bytes& b, R r) {
         for (int i = 12; i < 40; ++i) b[static_cast<std::size_t>(r[2] + i)] ^= 0x5A;
       },
       {3},
       {1, 2},
       true},
  };
  const TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = BuildReport({300, 500, 400}, c.compressed);
    const auto offsets = RecordOffsets(image);
    c.damage(image, offsets);
    const auto path = dir / "bad.qrp";
    test::WriteFileBytes(path, image);

    TQRPageList list;
    list.LoadFile(path.string());
    if (!c.needs_decoding) {
      EXPECT_THROW(list.CheckRecords(), EMetafileError);
    }
    for (const std::int32_t bad : c.bad_pages) {
      const std::int64_t before = list.Stream()->Position();
      EXPECT_THROW(list.GetPage(bad), EMetafileError) << "page " << bad;
      EXPECT_EQ(list.Stream()->Position(), before);
      for (const std::int32_t good : c.good_pages) ExpectPage(list, good);
    }
    // Reading apart from decoding finds the same pages and the same faults.
    for (const std::int32_t bad : c.bad_pages) {
      std::string direct = "none", split = "none";
      try {
        list.GetPage(bad);
      } catch (const EMetafileError& e) {
        direct = e.Detail();
      }
      try {
        DecodeStoredPage(list.ReadStoredPage(bad).value());
      } catch (const EMetafileError& e) {
        split = e.Detail();
      }
      EXPECT_EQ(split, direct) << "page " << bad;
    }
    for (const std::int32_t good : c.good_pages) {
      const auto stored = list.ReadStoredPage(good);
      ASSERT_TRUE(stored.has_value());
      const auto direct = list.GetPage(good);
      EXPECT_TRUE(std::ranges::equal(DecodeStoredPage(*stored).Data(), direct->Data())) << "page " << good;
    }
  }
}

TEST(TQRPageList, WalksThatLoopStop) {
  const TempDir dir;
  Bytes image = BuildReport({300, 500, 400, 600}, false);
  const auto r = RecordOffsets(image);
  Put(image, r[1] + 4, r[0]);  // record 2 leads back to record 1
  test::WriteFileBytes(dir / "loop.qrp", image);
  TQRPageList list;
  list.LoadFile((dir / "loop.qrp").string());
  try {
    list.GetPage(3);  // walks forward from record 1
    FAIL() << "no error";
  } catch (const EMetafileError& error) {
    EXPECT_EQ(error.Detail(), "page 3: record chain loops at offset " + std::to_string(r[1]));
  }
  ExpectPage(list, 4);
  ExpectPage(list, 3);  // walks back from the last record
  ExpectPage(list, 1);
}

}  // namespace
}  // namespace pravel
