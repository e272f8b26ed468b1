#include "report/qr_stream.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <random>

#include "report/test_files.h"

namespace pravel {
namespace {

using test::TempDir;

Bytes Pattern(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random());
  return out;
}

Bytes ReadAll(TQRStream& stream) {
  Bytes out(static_cast<std::size_t>(stream.Size()));
  stream.SetPosition(0);
  stream.ReadBuffer(out);
  return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(TQRStream, SpillsOnlyPastTheLimitAndKeepsTheBytes) {
  const TempDir dir;
  const Bytes data = Pattern(100001, 1);
  std::string temp_name;
  {
    TQRStream stream(100000, dir.Path().string());
    stream.WriteBuffer(ByteSpan(data).first(100000));
    EXPECT_TRUE(stream.InMemory());
    EXPECT_TRUE(stream.TempFileName().empty());
    EXPECT_TRUE(dir.Names().empty());

    stream.WriteBuffer(ByteSpan(data).subspan(100000));
    EXPECT_FALSE(stream.InMemory());
    EXPECT_EQ(stream.Position(), 100001);
    temp_name = stream.TempFileName();
    EXPECT_TRUE(StartsWith(temp_name, (dir / "QRP").string())) << temp_name;
    EXPECT_TRUE(std::filesystem::exists(temp_name));
    EXPECT_EQ(ReadAll(stream), data);
  }
  EXPECT_FALSE(std::filesystem::exists(temp_name));
}

// The same operations give the same results in memory and in a file, also
// across the window of the file store.
TEST(TQRStream, FileBehavesLikeMemory) {
  const TempDir dir;
  TQRStream memory(1 << 30, dir.Path().string());
  TQRStream file(0, dir.Path().string());
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    const int op = static_cast<int>(random() % 9);
    const auto size = static_cast<std::size_t>(random() % 3 == 0 ? random() % 40000 : random() % 64);
    if (op == 0) {
      const Bytes chunk = Pattern(size, static_cast<std::uint32_t>(step));
      ASSERT_EQ(memory.Write(chunk), file.Write(chunk));
    } else if (op == 1) {
      Bytes a(size), b(size);
      ASSERT_EQ(memory.Read(a), file.Read(b));
      ASSERT_EQ(a, b) << "step " << step;
    } else if (op == 8) {
      const auto size_now = memory.Size();
      const auto cut = size_now == 0 ? 0 : static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size_now));
      ASSERT_EQ(memory.Truncate(cut), file.Truncate(cut));
      ASSERT_FALSE(file.Truncate(size_now + 1));
    } else {
      const auto origin = static_cast<SeekOrigin>(random() % 3);
      const auto offset = static_cast<std::int32_t>(random() % 50000) - 25000;
      ASSERT_EQ(memory.Seek(offset, origin), file.Seek(offset, origin));
    }
    ASSERT_EQ(memory.Size(), file.Size()) << "step " << step << " op " << op;
    ASSERT_EQ(memory.Position(), file.Position());
  }
  EXPECT_FALSE(file.InMemory());
  EXPECT_EQ(ReadAll(memory), ReadAll(file));
}

TEST(TQRStream, TempFileThatCannotBeCreatedKeepsDataInMemory) {
  const TempDir dir;
  const std::string missing = (dir / "missing").string();
  TQRStream stream(10, missing);
  const Bytes data = Pattern(11, 2);
  try {
    stream.Write(data);
    FAIL() << "no error";
  } catch (const EFileCreateError& error) {
    EXPECT_TRUE(StartsWith(error.what(), "Cannot create file \"" + missing + "/QRP")) << error.what();
  }
  EXPECT_TRUE(stream.InMemory());
  EXPECT_EQ(ReadAll(stream), data);
}

TEST(TQRStream, TempFileThatCannotBeFilledIsDeleted) {
  const TempDir dir;
  // Files may not grow past 4 KiB: creating works, filling fails.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

  TQRStream stream(8192, dir.Path().string());
  const Bytes data = Pattern(9000, 3);
  EXPECT_THROW(stream.Write(data), EFileCreateError);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_TRUE(dir.Names().empty());
  EXPECT_TRUE(stream.InMemory());
  EXPECT_EQ(ReadAll(stream), data);
  // Once the disk takes it again, the next write moves the data.
  stream.WriteBuffer(data);
  EXPECT_FALSE(stream.InMemory());
  EXPECT_EQ(stream.Size(), 18000);
}

TEST(TQRStream, OpenFileReadsInPlaceAndLeavesTheFile) {
  const TempDir dir;
  const auto path = dir / "data.bin";
  const Bytes data = Pattern(50000, 4);
  test::WriteFileBytes(path, data);
  {
    const auto stream = TQRStream::OpenFile(path.string());
    EXPECT_FALSE(stream->InMemory());
    EXPECT_EQ(stream->SpillLimit(), 0);
    EXPECT_TRUE(stream->TempFileName().empty());
    EXPECT_EQ(stream->Seek(-10, SeekOrigin::End), 49990);
    Bytes tail(20);
    EXPECT_EQ(stream->Read(tail), 10U);
    EXPECT_TRUE(std::equal(data.end() - 10, data.end(), tail.begin()));
    EXPECT_EQ(ReadAll(*stream), data);
    const Bytes one{1};
    EXPECT_EQ(stream->Write(one), 0U);
    EXPECT_THROW(stream->WriteBuffer(one), EStreamWriteError);
  }
  EXPECT_EQ(test::ReadFileBytes(path), data);
}

TEST(TQRStream, OpenFileFailureNamesThePath) {
  const TempDir dir;
  const std::string path = (dir / "none.qrp").string();
  try {
    TQRStream::OpenFile(path);
    FAIL() << "no error";
  } catch (const EFileOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + path + "\". No such file or directory");
  }
  EXPECT_THROW(TQRStream::OpenFile(dir.Path().string()), EFileOpenError);
}

TEST(TQRStream, CopyToCopiesEverythingInChunks) {
  const TempDir dir;
  TQRStream empty(100);
  int calls = 0;
  empty.CopyTo([&](ByteSpan) { ++calls; });
  EXPECT_EQ(calls, 0);

  TQRStream stream(1000, dir.Path().string());
  const Bytes data = Pattern(25000, 5);
  stream.WriteBuffer(data);
  stream.SetPosition(77);
  Bytes copy;
  std::vector<std::size_t> chunks;
  stream.CopyTo([&](ByteSpan chunk) {
    chunks.push_back(chunk.size());
    copy.insert(copy.end(), chunk.begin(), chunk.end());
  });
  EXPECT_EQ(copy, data);
  EXPECT_EQ(chunks, (std::vector<std::size_t>{10240, 10240, 4520}));
  EXPECT_EQ(stream.Position(), 25000);

  TQRStream destination(1 << 20);
  stream.CopyTo(destination);
  EXPECT_EQ(ReadAll(destination), data);
}

}  // namespace
}  // namespace pravel
