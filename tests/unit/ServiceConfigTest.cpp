#include <gtest/gtest.h>

#include "service/ServiceConfig.h"

namespace zlv {
namespace {

using namespace std::string_literals;

TEST(DependencyList, BecomesTheDoubleNulList) {
  const struct {
    std::string text;
    std::string list;
  } cases[] = {
      {"", "\0\0"s},
      {"   ", "\0\0"s},
      {";;,", "\0\0"s},
      {"Tcpip", "Tcpip\0\0"s},
      {"Tcpip;Afd", "Tcpip\0Afd\0\0"s},
      {"Tcpip, Afd", "Tcpip\0Afd\0\0"s},
      {" Tcpip ;; Afd ,\tLanmanServer; ", "Tcpip\0Afd\0LanmanServer\0\0"s},
      {"Remote Access", "Remote Access\0\0"s},  // blanks inside a name stay
  };
  for (const auto& c : cases) EXPECT_EQ(DependencyList(c.text), c.list) << c.text;
}

TEST(QuotedProgramPath, QuotesOnce) {
  const struct {
    std::string path;
    std::string quoted;
  } cases[] = {
      {R"(C:\Program Files\Zemlo\Linkvane_Service.exe)",
       R"("C:\Program Files\Zemlo\Linkvane_Service.exe")"},
      {R"(C:\Zemlo\Linkvane_Service.exe)", R"("C:\Zemlo\Linkvane_Service.exe")"},
      {R"("C:\Zemlo Test\x.exe")", R"("C:\Zemlo Test\x.exe")"},
      {R"(  C:\a b\x.exe )", R"("C:\a b\x.exe")"},
      {R"(")", R"(""")"},  // a lone quote is no pair
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedProgramPath(c.path), c.quoted) << c.path;
}

TEST(WipeSecret, LeavesNothingBehind) {
  std::string secret(40, 'p');  // past the small-string buffer: heap memory
  const char* bytes = secret.data();
  WipeSecret(secret);
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(secret.data(), bytes);  // the same buffer, now cleared
  for (int i = 0; i < 40; ++i) EXPECT_EQ(bytes[i], '\0') << i;
}

}  // namespace
}  // namespace zlv
