#include "online/uSocketRules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(SendBuffer, BlockOperations) {
  TBuffer zero(0);
  EXPECT_EQ(zero.Capacity(), 1514);
  TBuffer b(4);
  const uint8_t data[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(b.Write(data, 6), 4);
  EXPECT_EQ(b.Write(data, 1), 0);
  int n = 0;
  const uint8_t* p = b.Peek(n);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(b.Remove(3), 3);
  p = b.Peek(n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(p[0], 4);
  // Growing keeps what is unread.
  b.Resize(10);
  EXPECT_EQ(b.Capacity(), 10);
  p = b.Peek(n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(p[0], 4);
  EXPECT_EQ(b.Remove(5), 1);
  EXPECT_EQ(b.Written(), 0);
  EXPECT_EQ(b.TakenOut(), 0);
  EXPECT_EQ(b.Peek(n), nullptr);
  EXPECT_EQ(n, 0);
}

TEST(SendBuffer, FourThousandBytesMakeThreeBlocks) {
  tSendQueue q;
  std::vector<uint8_t> data(4000, 7);
  q.Append(data.data(), 4000, 1460);
  ASSERT_EQ(q.Blocks().size(), 3u);
  EXPECT_EQ(q.Blocks()[0]->Written(), 1460);
  EXPECT_EQ(q.Blocks()[1]->Written(), 1460);
  EXPECT_EQ(q.Blocks()[2]->Written(), 1080);
  // More fills the last block first.
  q.Append(data.data(), 380, 1460);
  EXPECT_EQ(q.Blocks().size(), 3u);
  EXPECT_EQ(q.Blocks()[2]->Written(), 1460);
  q.Append(data.data(), 1, 1460);
  EXPECT_EQ(q.Blocks().size(), 4u);
  EXPECT_FALSE(q.Empty());
}

TEST(SocketRules, DottedAddresses) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true},     {"  10.1.2.3  ", true},  {"255.255.255.255", true},
      {"1.2.3", false},        {"1.2.3.256", false},    {".1.2.3", false},
      {"1..2.3", false},       {"1.2.3.4.5", false},    {"1.2.3.", false},
      {"host.example", false}, {"1.2.3.a", false},     {"", false}};
  for (const auto& [text, dotted] : cases) EXPECT_EQ(IsDottedAddress(text), dotted) << text;
}

TEST(SocketRules, PortNumbers) {
  EXPECT_EQ(LeadingNumber("80", true), 80);
  EXPECT_EQ(LeadingNumber("80abc", true), 80);
  EXPECT_EQ(LeadingNumber("http", true), -1);
  EXPECT_EQ(LeadingNumber("65535", true), 65535);
  EXPECT_THROW(LeadingNumber("65536", true), std::range_error);
}

TEST(SocketRules, ErrorTexts) {
  EXPECT_EQ(WSocketErrorDesc(0), "No Error");
  EXPECT_EQ(WSocketErrorDesc(10061), "Connection refused");
  EXPECT_EQ(WSocketErrorText(10057, "Send"),
            "Error 10057 in function Send\r\nSocket is not connected");
  EXPECT_EQ(WSocketErrorDesc(12345), "Not a Windows Socket error");
}

}  // namespace
