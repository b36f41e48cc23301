#include "net/frame_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "net/event_handles.h"
#include "net/frame_bytes.h"
#include "net/frame_format.h"
#include "support/process_log.h"

namespace kanzo {
namespace {

using test::BigEndian32;
using test::CompressedPayload;
using test::FrameOf;
using test::kCompressedHeader;
using test::LogWrittenDuring;

// Feeds `chunks` one after the other and takes every frame that completes.
struct Feed {
  FrameReader reader;
  EvBufferPtr input = NewEvBuffer();
  std::vector<std::string> frames;
  int dropped = 0;
  bool broken = false;

  void Push(const std::string& bytes) {
    evbuffer_add(input.get(), bytes.data(), bytes.size());
    for (;;) {
      FramePayload payload;
      const FrameStatus status = reader.next(input.get(), &payload);
      if (status == FrameStatus::kNeedMore) return;
      if (status == FrameStatus::kBroken) {
        broken = true;
        return;
      }
      if (status == FrameStatus::kDropped) {
        ++dropped;
      } else {
        frames.emplace_back(reinterpret_cast<const char*>(payload.data), payload.size);
      }
    }
  }
};

TEST(FrameReaderTest, DeliversFramesWhateverTheReadBoundaries) {
  const std::string first = FrameOf("hello");
  const std::string second = FrameOf(std::string(3000, 'x'));
  const std::string both = first + second;
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
  };
  std::vector<Case> cases = {
      {"two frames in one read", {both}},
      {"header split", {both.substr(0, 3), both.substr(3)}},
      {"length split", {both.substr(0, 6), both.substr(6)}},
      {"payload split", {both.substr(0, 10), both.substr(10, 20), both.substr(30)}},
      {"second frame split", {both.substr(0, first.size() + 5), both.substr(first.size() + 5)}},
  };
  Case byteByByte{"one byte at a time", {}};
  for (char c : both) byteByByte.chunks.emplace_back(1, c);
  cases.push_back(byteByByte);

  for (const Case& c : cases) {
    Feed feed;
    for (std::size_t i = 0; i < c.chunks.size(); ++i) {
      feed.Push(c.chunks[i]);
      if (i + 1 < c.chunks.size() && feed.frames.size() == 2) ADD_FAILURE() << c.name << ": delivered early";
    }
    ASSERT_EQ(feed.frames.size(), 2u) << c.name;
    EXPECT_EQ(feed.frames[0], "hello") << c.name;
    EXPECT_EQ(feed.frames[1], std::string(3000, 'x')) << c.name;
    EXPECT_FALSE(feed.reader.framePending()) << c.name;
    EXPECT_EQ(feed.reader.discardedBytes(), 0u) << c.name;
  }
}

TEST(FrameReaderTest, SkipsGarbageBeforeAHeader) {
  struct Case {
    const char* name;
    std::string garbage;
  };
  const Case cases[] = {
      {"four bytes", std::string("\x01\x02\x03\x04", 4)},
      {"three bytes, off the word grid", std::string("\x01\x02\x03", 3)},
      {"a lone magic byte pair at the start", std::string("\x67\x43\x00", 3)},
      {"long run", std::string(1000, '\x55')},
  };
  for (const Case& c : cases) {
    Feed feed;
    feed.Push(c.garbage + FrameOf("payload"));
    ASSERT_EQ(feed.frames.size(), 1u) << c.name;
    EXPECT_EQ(feed.frames[0], "payload") << c.name;
    EXPECT_EQ(feed.reader.discardedBytes(), c.garbage.size()) << c.name;
  }
  // Garbage that arrives alone is dropped but the start of a header is kept.
  Feed feed;
  feed.Push(std::string(50, '\x11') + FrameOf("x").substr(0, 3));
  EXPECT_TRUE(feed.frames.empty());
  feed.Push(FrameOf("x").substr(3));
  ASSERT_EQ(feed.frames.size(), 1u);
  EXPECT_EQ(feed.frames[0], "x");
}

// The byte counts of the skip lines in `log`, in order.
std::vector<std::uint64_t> SkipReports(const std::string& log) {
  static const std::string kSkipLine = "丢弃无法识别的数据：";
  std::vector<std::uint64_t> counts;
  for (std::size_t at = log.find(kSkipLine); at != std::string::npos; at = log.find(kSkipLine, at + 1))
    counts.push_back(std::strtoull(log.c_str() + at + kSkipLine.size(), nullptr, 10));
  return counts;
}

TEST(FrameReaderTest, JunkIsLoggedOncePerRunWithItsSizeNotOncePerPiece) {
  // After its first byte this junk is skipped two bytes at a time, each time
  // at a stray pair of a header's start bytes.
  std::string junk = "\x43";
  for (int i = 0; i < 1000; ++i) junk += "\x67\x43";
  const std::string stream = junk + FrameOf("after");
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at < stream.size(); at += 7) pieces.push_back(stream.substr(at, 7));
  struct Case {
    const char* name;
    std::vector<std::string> reads;
  };
  const Case cases[] = {{"one read", {stream}}, {"seven bytes a read", pieces}};
  for (const Case& c : cases) {
    Feed feed;
    const std::string log = LogWrittenDuring([&] {
      for (const std::string& bytes : c.reads) feed.Push(bytes);
    });
    ASSERT_EQ(feed.frames, (std::vector<std::string>{"after"})) << c.name;
    EXPECT_EQ(feed.reader.discardedBytes(), junk.size()) << c.name;
    EXPECT_EQ(SkipReports(log), (std::vector<std::uint64_t>{junk.size()})) << c.name;
  }

  // Junk that never ends is reported as it grows, and the rest when the
  // connection goes.
  std::string flood = "\x43";
  while (flood.size() < 3 * FrameReader::kDiscardReportBytes + 1000) flood += "\x67\x43";
  Feed feed;
  const std::string log = LogWrittenDuring([&] {
    feed.Push(flood);
    feed.reader.reset();
  });
  const std::vector<std::uint64_t> reports = SkipReports(log);
  ASSERT_EQ(reports.size(), 4u);
  std::uint64_t reported = 0;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (i < 3) EXPECT_EQ(reports[i], FrameReader::kDiscardReportBytes) << i;
    reported += reports[i];
  }
  EXPECT_EQ(reported, feed.reader.discardedBytes());
  EXPECT_GE(reported, flood.size() - kFrameWordBytes);
}

TEST(FrameReaderTest, AcceptsOtherFlagBitsAndEmptyPayloads) {
  Feed feed;
  feed.Push(FrameOf("flags", 0x0F006743) + FrameOf("", 0x6743) + FrameOf("after"));
  ASSERT_EQ(feed.frames.size(), 3u);
  EXPECT_EQ(feed.frames[0], "flags");
  EXPECT_EQ(feed.frames[1], "");
  EXPECT_EQ(feed.frames[2], "after");
}

TEST(FrameReaderTest, InflatesCompressedFrames) {
  const std::string message(20000, 'm');
  Feed feed;
  const std::string frame = FrameOf(CompressedPayload(message), kCompressedHeader);
  feed.Push(frame.substr(0, 13));
  feed.Push(frame.substr(13) + FrameOf("plain"));
  ASSERT_EQ(feed.frames.size(), 2u);
  EXPECT_EQ(feed.frames[0], message);
  EXPECT_EQ(feed.frames[1], "plain");
}

TEST(FrameReaderTest, DropsCompressedFramesThatCannotBeTrusted) {
  const std::string message = "a chat line";
  std::string corrupt = CompressedPayload(message);
  // The stored CRC no longer matches.
  corrupt[corrupt.size() - 6] = static_cast<char>(corrupt[corrupt.size() - 6] ^ 0xFF);
  std::string truncated = CompressedPayload(std::string(5000, 'q'));
  truncated.resize(truncated.size() / 2);
  struct Case {
    const char* name;
    std::string payload;
  };
  const Case cases[] = {
      {"not gzip", BigEndian32(10) + "plain text, not deflated"},
      {"corrupt stream", corrupt},
      {"truncated stream", truncated},
      {"size above the bound", CompressedPayload(message, 0x7FFFFFFF)},
      {"negative size", CompressedPayload(message, 0xFFFFFFFF)},
      {"zero size", CompressedPayload(message, 0)},
      {"shorter than the size word", std::string("\x00\x01", 2)},
  };
  for (const Case& c : cases) {
    Feed feed;
    feed.Push(FrameOf(c.payload, kCompressedHeader) + FrameOf("next"));
    EXPECT_EQ(feed.dropped, 1) << c.name;
    ASSERT_EQ(feed.frames.size(), 1u) << c.name;
    EXPECT_EQ(feed.frames[0], "next") << c.name;
    EXPECT_FALSE(feed.broken) << c.name;
  }
}

TEST(FrameReaderTest, ClaimedSizeBelowTheStreamKeepsOnlyThatMuch) {
  // Never more than the claimed size is produced or handed on.
  Feed feed;
  feed.Push(FrameOf(CompressedPayload("0123456789", 4), kCompressedHeader));
  ASSERT_EQ(feed.frames.size(), 1u);
  EXPECT_EQ(feed.frames[0], "0123");
}

TEST(FrameReaderTest, TheInflateAreaFollowsWhatIsProducedNotTheClaim) {
  // Every frame may claim the bound; the memory taken must follow the bytes.
  for (const std::size_t size : {std::size_t{5}, std::size_t{40000}}) {
    const std::string message(size, 'k');
    const std::string payload = CompressedPayload(message, static_cast<std::uint32_t>(kMaxInflatedLength));
    std::vector<unsigned char> out;
    ASSERT_TRUE(InflateFramePayload(reinterpret_cast<const unsigned char*>(payload.data()), payload.size(), &out))
        << size;
    EXPECT_TRUE(std::string(out.begin(), out.end()) == message) << size;
    EXPECT_LT(out.capacity(), 4 * size + 64 * 1024) << size;
  }
}

TEST(FrameReaderTest, LengthsNoFrameCanHaveBreakTheStream) {
  const std::uint32_t lengths[] = {0xFFFFFFFF, 0x80000000, static_cast<std::uint32_t>(kMaxFrameLength) + 1};
  for (std::uint32_t length : lengths) {
    Feed feed;
    feed.Push(BigEndian32(0x6743) + BigEndian32(length) + "abc");
    EXPECT_TRUE(feed.broken) << length;
    EXPECT_TRUE(feed.frames.empty()) << length;
  }
  // The largest allowed length is still a frame.
  Feed feed;
  const std::string big(static_cast<std::size_t>(kMaxFrameLength), 'b');
  feed.Push(FrameOf(big));
  ASSERT_EQ(feed.frames.size(), 1u);
  EXPECT_EQ(feed.frames[0].size(), big.size());
}

TEST(FrameReaderTest, ResetForgetsAPartFrame) {
  Feed feed;
  const std::string frame = FrameOf("lost");
  feed.Push(frame.substr(0, 10));
  EXPECT_TRUE(feed.reader.framePending());
  // The connection goes, and its input with it.
  feed.reader.reset();
  feed.input = NewEvBuffer();
  feed.Push(FrameOf("fresh"));
  ASSERT_EQ(feed.frames.size(), 1u);
  EXPECT_EQ(feed.frames[0], "fresh");
}

}  // namespace
}  // namespace kanzo
