#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "shell/ProfileEngine.h"

namespace zlv::profile {
namespace {

using namespace std::string_literals;

struct ReadCase {
  const char* what;
  std::string content;
  std::string section;
  std::string key;
  std::optional<std::string> expected;  // nullopt: absent
};

TEST(ProfileEngine, FindsValuesAsThePlatformReadsThem) {
  const std::string big(1500, 'x');
  const ReadCase cases[] = {
      {"plain", "[Display Options]\r\nTop=300\r\n", "Display Options", "Top", "300"},
      {"names ignore case", "[display options]\r\ntop=300\r\n", "DISPLAY Options", "TOP", "300"},
      {"blanks around names and value", "  [ Display Options ]  \r\n  Top  =  300  \r\n",
       "Display Options", "Top", "300"},
      {"blanks around the requested names", "[S]\r\nk=v\r\n", "  S ", " k  ", "v"},
      {"tabs are blanks too", "[S]\r\n\tk\t=\tv\t\r\n", "S", "k", "v"},
      {"double quotes", "[S]\r\nTop=\"300\"\r\n", "S", "Top", "300"},
      {"single quotes", "[S]\r\nk=' a b '\r\n", "S", "k", " a b "},
      {"one pair only", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "\"x\""},
      {"unmatched quotes stay", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'"},
      {"a lone quote stays", "[S]\r\nk=\"\r\n", "S", "k", "\""},
      {"empty value is present", "[S]\r\nk=\r\n", "S", "k", ""},
      {"first '=' splits", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"cut to 1023", "[S]\r\nk=" + big + "\r\n", "S", "k", std::string(1023, 'x')},
      {"LF only", "[S]\nk=v\n", "S", "k", "v"},
      {"no final newline", "[S]\r\nk=v", "S", "k", "v"},
      {"first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
      {"only the first of duplicate sections", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", "b",
       std::nullopt},
      {"key in another section", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "B", "k", std::nullopt},
      {"key before any section", "k=1\r\n[S]\r\n", "S", "k", std::nullopt},
      {"line without '='", "[S]\r\nk\r\n", "S", "k", std::nullopt},
      {"unclosed header is no section", "[S\r\nk=1\r\n", "S", "k", std::nullopt},
      {"header name runs to the last ']'", "[a]b]\r\nk=1\r\n", "a]b", "k", "1"},
      {"CR-only lines", "[S]\rk=v\r", "S", "k", "v"},
      {"a CR ends a line only where no LF follows", "[S]\rk=v\r\nj=w\r", "S", "k", std::nullopt},
      {"... so it stays inside the line", "[S]\r\nk=v\rj=w\r\n", "S", "k", "v\rj=w"},
      {"NUL ends the value", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "ab"},
      {"NUL ends the requested names", "[S]\r\nk=v\r\n", "S\0x"s, "k\0y"s, "v"},
      {"binary bytes pass", "[S]\r\nk=\x01\xff\x80\r\n", "S", "k", "\x01\xff\x80"},
      {"empty key name", "[S]\r\n=v\r\n", "S", "", std::nullopt},
      {"empty section name", "[]\r\nk=v\r\n", "", "k", std::nullopt},
      {"empty file", "", "S", "k", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindValue(c.content, c.section, c.key), c.expected) << c.what;
  }
}

TEST(ProfileEngine, AbsentEntriesGiveTheDefaultWithoutTrailingBlanks) {
  const std::string content = "[S]\r\nk=v\r\n";
  EXPECT_EQ(ReadString(std::nullopt, "S", "k", "def  "), "def");
  EXPECT_EQ(ReadString(content, "S", "x", "  def\t "), "  def\t");
  EXPECT_EQ(ReadString(content, "S", "k", "def"), "v");
  EXPECT_EQ(ReadString(content, "T", "k", std::string(2000, 'd')), std::string(1023, 'd'));
  EXPECT_EQ(ReadString(std::string("[S]\r\nk=\r\n"), "S", "k", "def"), "");
}

struct WriteCase {
  const char* what;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(ProfileEngine, WritesChangeOnlyWhatTheyMust) {
  const WriteCase cases[] = {
      {"new file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"in place", "[S]\r\na=1\r\nk=old\r\nb=2\r\n", "S", "k", "new",
       "[S]\r\na=1\r\nk=new\r\nb=2\r\n"},
      {"in place keeps spelling, blanks and line end", "[s]\n  K = \"old\"  \n", "S", "k", "new",
       "[s]\n  K = new  \n"},
      {"empty value replaced", "[S]\r\nk=\r\n", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"empty value written", "[S]\r\nk=v\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
      {"first duplicate key", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "9", "[S]\r\nk=9\r\nk=2\r\n"},
      {"new key ends its section", "[A]\r\na=1\r\n[B]\r\nb=2\r\n", "A", "k", "v",
       "[A]\r\na=1\r\nk=v\r\n[B]\r\nb=2\r\n"},
      {"new key before the blank lines", "[A]\r\na=1\r\n\r\n\r\n[B]\r\n", "A", "k", "v",
       "[A]\r\na=1\r\nk=v\r\n\r\n\r\n[B]\r\n"},
      {"new key after a comment", "[A]\r\n; note\r\n[B]\r\n", "A", "k", "v",
       "[A]\r\n; note\r\nk=v\r\n[B]\r\n"},
      {"new key in an empty section", "[A]\r\n[B]\r\n", "a", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
      {"new key in the first duplicate section", "[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "k", "v",
       "[A]\r\nx=1\r\nk=v\r\n[A]\r\ny=2\r\n"},
      {"new key after an unterminated last line", "[A]\r\na=1", "A", "k", "v",
       "[A]\r\na=1\r\nk=v\r\n"},
      {"new key after an unterminated header", "[A]", "A", "k", "v", "[A]\r\nk=v\r\n"},
      {"new section at the end", "; top\r\n[A]\r\na=1\r\n\r\n", "B", "k", "v",
       "; top\r\n[A]\r\na=1\r\n\r\n[B]\r\nk=v\r\n"},
      {"new section after an unterminated line", "[A]\na=1", "B", "k", "v",
       "[A]\na=1\r\n[B]\r\nk=v\r\n"},
      {"NULs and binary bytes kept", "Data \0 before \0 first \0 section"s, "section1", "key1",
       "string1", "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
      {"CR-only lines, in place", "[S]\rk=v\r", "S", "k", "w", "[S]\rk=w\r"},
      // An LF among lines that end in CR alone would join them into one line.
      {"CR-only lines, new key", "[S]\rk=v\r", "S", "j", "w", "[S]\rk=v\rj=w\r"},
      {"CR-only lines, new key after an unterminated line", "[S]\rk=v", "S", "j", "w",
       "[S]\rk=v\rj=w\r"},
      {"CR-only lines, new section", "[S]\rk=v\r", "T", "j", "w", "[S]\rk=v\r[T]\rj=w\r"},
      {"CR lines after the last LF", "[A]\r\na=1\r\n[S]\rk=v\r", "S", "j", "w",
       "[A]\r\na=1\r\n[S]\rk=v\rj=w\r"},
      {"LF lines keep CR LF before CR lines", "[S]\r\nk=v\r\n[T]\rx=1\r", "S", "j", "w",
       "[S]\r\nk=v\r\nj=w\r\n[T]\rx=1\r"},
      {"a lone CR ends the file", "[A]\na=1\n;\r", "B", "k", "v", "[A]\na=1\n;\r[B]\rk=v\r"},
      {"NUL ends the names", "", "S\0x"s, "k\0y"s, "v", "[S]\r\nk=v\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WriteString(c.before, c.section, c.key, c.value), c.after) << c.what;
  }
}

TEST(ProfileEngine, RefusesWhatWouldDamageTheFileOrNeverReadBack) {
  const std::string content = "[S]\r\nk=v\r\n";
  struct Case {
    const char* what;
    std::string section;
    std::string key;
    std::string value;
  };
  const Case cases[] = {
      {"empty section", "", "k", "v"},
      {"blank section", "  ", "k", "v"},
      {"empty after its NUL", "\0S"s, "k", "v"},
      {"line break in the section", "S\r\n[T]", "k", "v"},
      {"line break in the key", "S", "a\nb", "v"},
      {"line break in the value", "S", "k", "two\r\nlines"},
      {"'=' in the key reads as a shorter key", "S", "a=b", "v"},
      {"a key of '=' only", "S", "=k", "v"},
      {"a key starting with '[' can read as a header", "S", "[x", "]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WriteString(content, c.section, c.key, c.value), std::nullopt) << c.what;
  }
}

TEST(ProfileEngine, WhatIsWrittenReadsBack) {
  struct Case {
    const char* what;
    std::string content;
    std::string section;
    std::string key;
    std::string value;
    std::string read;
  };
  const Case cases[] = {
      {"into CR-only lines", "[S]\rk=v\r", "S", "j", "w", "w"},
      {"new section after CR-only lines", "[S]\rk=v\r", "T", "j", "w", "w"},
      {"blanks and quotes go as a read takes them", "[S]\r\n", "S", "k", " 'q' ", "q"},
      {"names cut at a NUL", "[S]\r\n", "S\0a"s, "k\0b"s, "v", "v"},
  };
  for (const auto& c : cases) {
    const auto written = WriteString(c.content, c.section, c.key, c.value);
    ASSERT_TRUE(written.has_value()) << c.what;
    EXPECT_EQ(FindValue(*written, c.section, c.key), c.read) << c.what;
  }
  // Nor may a write cost the entries that were there.
  for (const char* section : {"S", "T"}) {
    const auto written = WriteString("[S]\rk=v\r", section, "j", "w");
    ASSERT_TRUE(written.has_value()) << section;
    EXPECT_EQ(FindValue(*written, "S", "k"), "v") << section;
  }
}

TEST(ProfileEngine, HandlesATenMegabyteFile) {
  std::string content = "[S]\r\n";
  const std::string filler = "; " + std::string(98, '-') + "\r\n";
  while (content.size() < 10 * 1024 * 1024) content += filler;
  content += "k=v\r\n";
  EXPECT_EQ(FindValue(content, "S", "k"), "v");
  const auto written = WriteString(content, "S", "k", "w");
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(written->size(), content.size());
  EXPECT_EQ(written->substr(written->size() - 5), "k=w\r\n");
}

}  // namespace
}  // namespace zlv::profile
