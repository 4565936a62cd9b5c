#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base64.h"
#include "md5.h"
#include "mymalloc.h"

namespace {

std::string hex(const unsigned char digest[16]) {
  char text[33];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(text + 2 * i, 3, "%02x", digest[i]);
  }
  return text;
}

std::string md5Of(const std::string& text) {
  unsigned char digest[16];
  MD5(reinterpret_cast<const unsigned char*>(text.data()), static_cast<unsigned>(text.size()),
      digest);
  return hex(digest);
}

TEST(Md5, MatchesRfc1321TestSuite) {
  EXPECT_EQ(md5Of(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5Of("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(md5Of("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(md5Of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(md5Of("1234567890123456789012345678901234567890123456789012345678901234567890"
                  "1234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PiecewiseUpdatesAcrossBlockBoundariesGiveOneShotDigest) {
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text += static_cast<char>(i * 7);
  }
  for (unsigned piece : {1u, 55u, 56u, 63u, 64u, 65u}) {
    MD5_CTX context;
    MD5Init(&context);
    for (size_t at = 0; at < text.size(); at += piece) {
      const size_t take = std::min<size_t>(piece, text.size() - at);
      MD5Update(&context, reinterpret_cast<const unsigned char*>(text.data()) + at,
                static_cast<unsigned>(take));
    }
    unsigned char digest[16];
    MD5Final(digest, &context);
    EXPECT_EQ(hex(digest), md5Of(text)) << "piece " << piece;
  }
}

std::string base64Of(const std::string& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '#');
  motion_base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()), out.data(),
                       static_cast<int>(bytes.size()));
  EXPECT_EQ(out.back(), '\0');
  out.pop_back();
  return out;
}

TEST(Base64, MatchesRfc4648Vectors) {
  EXPECT_EQ(base64Of(""), "");
  EXPECT_EQ(base64Of("f"), "Zg==");
  EXPECT_EQ(base64Of("fo"), "Zm8=");
  EXPECT_EQ(base64Of("foo"), "Zm9v");
  EXPECT_EQ(base64Of("foob"), "Zm9vYg==");
  EXPECT_EQ(base64Of("fooba"), "Zm9vYmE=");
  EXPECT_EQ(base64Of("foobar"), "Zm9vYmFy");
  EXPECT_EQ(base64Of(std::string("\xFF\xFE\x00", 3)), "//4A");
}

TEST(Base64, ReadsNoByteBeyondTheCount) {
  const unsigned char input[] = {'f', 'o', 'X'};
  char out[5];
  motion_base64_encode(input, out, 2);
  EXPECT_STREQ(out, "Zm8=");
}

TEST(Mymalloc, GivesZeroFilledMemory) {
  auto* block = static_cast<unsigned char*>(mymalloc(4096));
  EXPECT_EQ(std::count(block, block + 4096, 0), 4096);
  std::free(block);
}

TEST(MymallocDeathTest, ExhaustedMemoryEndsProcessWithStatusOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer allocator reports oversized requests itself";
#else
  // SIZE_MAX, not half of it: 2 GiB can be had on a 32-bit board.
  EXPECT_EXIT(mymalloc(SIZE_MAX), testing::ExitedWithCode(1), "");
#endif
}

}  // namespace
