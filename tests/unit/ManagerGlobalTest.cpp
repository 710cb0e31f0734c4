#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "FakeErrors.h"
#include "Fakes.h"
#include "shell/FileProfileStore.h"
#include "shell/ManagerGlobal.h"

namespace zlv {
namespace {

using test::FakeBeeper;
using test::FakeProfileStore;
using test::FakeReporter;

TEST(Escaping, RoundTripsAndTheDocumentedSurprises) {
  struct Case {
    std::string plain, stored;
  };
  const Case roundTrips[] = {
      {"first\r\nsecond", "first<CR><LF>second"},
      {"say \"hi\"", "say <QUOTE>hi<QUOTE>"},
      {"\n\r\"", "<LF><CR><QUOTE>"},
      {".\\Administrator", ".\\Administrator"},
      {"", ""},
  };
  for (const auto& c : roundTrips) {
    EXPECT_EQ(EscapeValue(c.plain), c.stored) << c.stored;
    EXPECT_EQ(UnescapeValue(c.stored), c.plain) << c.stored;
  }
  // No escape for '<': typed escape texts come back as what they name.
  EXPECT_EQ(EscapeValue("a<LF>b"), "a<LF>b");
  EXPECT_EQ(UnescapeValue("a<LF>b"), "a\nb");
  // Exact case, and one replacement after the other, left to right.
  EXPECT_EQ(UnescapeValue("<cr><Lf>"), "<cr><Lf>");
  EXPECT_EQ(UnescapeValue("<<CR>LF>"), "<\rLF>");
  EXPECT_EQ(UnescapeValue("<QUOTE<LF>>"), "<QUOTE\n>");
}

TEST(NumericValue, ReadsTheNumberAtTheStart) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"1440", 1440},     {"-120", -120},
      {"+7", 7},          {"12abc", 12},
      {"abc", 0},         {"", 0},
      {"1 5", 15},        {" - 1\t2\n3", -123},
      {"2.5", 2.5},       {".5", 0.5},
      {"1.2.3", 1.2},     {"1,5", 1},
      {"1e3", 1000},      {"1D3", 1000},
      {"2.5E-1", 0.25},   {"1e", 1},
      {"1e+x", 1},        {"--1", 0},
      {"-", 0},           {"&H10", 16},
      {"&hff", 255},      {"&HFFFF", -1},
      {"&H8000", -32768}, {"&H10000", 65536},
      {"&HFFFFFFFF", -1}, {"&H0000FFFF", -1},
      {"&O17", 15},       {"&o777", 511},
      {"&H", 0},          {"&X1", 0},
      {"&O8", 0},         {"1e-400", 0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(NumericValue(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(NumericValue, NumbersBeyondAnyTypeOverflow) {
  for (const char* text : {"1e400", "&H123456789"}) {
    try {
      NumericValue(text);
      ADD_FAILURE() << text << " did not overflow";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), err::kOverflow) << text;
      EXPECT_EQ(f.Description(), "Overflow") << text;
    }
  }
}

TEST(WholeNumbers, RoundHalfToEvenAndOverflowOutsideTheType) {
  struct Case {
    double value;
    int32_t expected;
  };
  const Case cases[] = {{2.5, 2},
                        {3.5, 4},
                        {-2.5, -2},
                        {0.5, 0},
                        {1.4999, 1},
                        {-0.6, -1},
                        {2147483647.4, 2147483647},
                        {-2147483648.0, INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(ToInt32(c.value), c.expected) << c.value;
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768.5), -32768);

  for (double v : {2147483647.5, -2147483649.0, 1e300}) {
    EXPECT_THROW(ToInt32(v), Failure) << v;
  }
  for (double v : {32767.5, -32769.0, 65536.0}) {
    EXPECT_THROW(ToInt16(v), Failure) << v;
  }
}

struct Settings {
  FakeProfileStore store;
  FakeBeeper beeper;
  FakeReporter fake;
  ManagerGlobal global{store, beeper, fake.reporter};
};

TEST(CheckMaxMin, ReplacesOutOfRangeValuesByTheDefaultWithoutClamping) {
  Settings s;
  struct Case {
    double value, expected;
  };
  const Case cases[] = {{49.9, 500}, {50, 50},      {65000, 65000},    {65000.4, 500},
                        {0, 500},    {-70000, 500}, {64999.5, 64999.5}};
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(s.global.CheckMaxMin(c.value, 50, 65000, 500), c.expected) << c.value;
  }
}

TEST(ReadINI, FollowsTheReadersBufferRules) {
  struct Case {
    const char* what;
    std::optional<std::string> stored;  // nullopt: the reader's answer for an absent entry
    std::string defaultValue;
    std::string expected;
  };
  const Case cases[] = {
      {"a value", "300", "-1", "300"},
      {"absent", std::nullopt, "-1", "-1"},
      {"empty value gives the default as passed", "", "500", "500"},
      {"empty default blank-padded comes back untouched", std::nullopt, "  ", "  "},
      {"absent: default without its trailing blanks", std::nullopt, "x  ", "x"},
      {"leading blanks of the answer removed", "  5", "0", "5"},
      {"default leading blanks removed too", std::nullopt, "  .\\Administrator",
       ".\\Administrator"},
      {"unescaped", "first<CR><LF>second", "", "first\r\nsecond"},
      {"default unescaped too", std::nullopt, "say <QUOTE>hi<QUOTE>", "say \"hi\""},
      {"more than the buffer holds", std::string(1500, 'z'), "", std::string(1023, 'z')},
  };
  for (const auto& c : cases) {
    Settings s;
    if (c.stored) s.store.Set("S", "k", *c.stored);
    EXPECT_EQ(s.global.ReadINI("f.ini", "S", "k", c.defaultValue), c.expected) << c.what;
    ASSERT_EQ(s.store.reads.size(), 1u) << c.what;
    EXPECT_EQ(s.store.reads[0], (FakeProfileStore::Call{"S", "k", c.defaultValue, "f.ini"}));
  }
}

TEST(WriteINI, EscapesAndBeepsOncePerFailedWrite) {
  Settings s;
  s.global.WriteINI("f.ini", "Service Options", "Username", "a\"b\r\nc");
  ASSERT_EQ(s.store.writes.size(), 1u);
  EXPECT_EQ(s.store.writes[0],
            (FakeProfileStore::Call{"Service Options", "Username", "a<QUOTE>b<CR><LF>c", "f.ini"}));
  EXPECT_EQ(s.beeper.beeps, 0);

  s.store.writable = false;
  s.global.WriteINI("f.ini", "S", "a", "1");
  s.global.WriteINI("f.ini", "S", "b", "2");
  EXPECT_EQ(s.beeper.beeps, 2);
  EXPECT_FALSE(s.fake.Reported());
}

// A store whose platform call itself fails unexpectedly.
class BrokenStore : public ProfileStore {
 public:
  std::string GetString(const std::string&, const std::string&, const std::string&,
                        const std::string&) override {
    Raise(err::kOutOfMemory, "Out of memory");
  }
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    Raise(err::kFileNotFound, "File not found");
  }
};

TEST(ManagerGlobal, UnexpectedFailuresAreReportedUnderTheProcedure) {
  BrokenStore store;
  FakeBeeper beeper;
  FakeReporter readFake;
  ManagerGlobal reader(store, beeper, readFake.reporter);
  EXPECT_THROW(reader.ReadINI("f", "S", "k", "d"), test::ProgramEnded);
  EXPECT_NE(readFake.Message().find("Module Name: ManagerGlobal\r\nProcedure Name: ReadINI\r\n"
                                    "Line Number: 10\r\n"),
            std::string::npos);

  FakeReporter writeFake;
  ManagerGlobal writer(store, beeper, writeFake.reporter);
  EXPECT_THROW(writer.WriteINI("f", "S", "k", "v"), test::ProgramEnded);
  EXPECT_NE(writeFake.Message().find("Procedure Name: WriteINI\r\nLine Number: 20\r\n"),
            std::string::npos);
  EXPECT_EQ(beeper.beeps, 0);
}

// The same routines over the real engine and a real file.
class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zlv_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "ZemloLinkvaneManager-Settings.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Put(const std::string& content) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }

  std::filesystem::path dir_;
  std::string path_;
  FileProfileStore store_;
  FakeBeeper beeper_;
  FakeReporter fake_;
  ManagerGlobal global_{store_, beeper_, fake_.reporter};
};

TEST_F(SettingsFile, NoFileGivesDefaultsAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(global_.ReadINI(path_, "Display Options", "Top", "-1"), "-1");
  EXPECT_EQ(global_.ReadINI(path_, "Service Options", "Username", ".\\Administrator"),
            ".\\Administrator");
  global_.WriteINI(path_, "Display Options", "Top", "1440");
  global_.WriteINI(path_, "Display Options", "State", "0");
  global_.WriteINI(path_, "Service Options", "Username", "say \"hi\"\r\nthere");
  EXPECT_EQ(ReadWholeFile(path_),
            "[Display Options]\r\nTop=1440\r\nState=0\r\n"
            "[Service Options]\r\nUsername=say <QUOTE>hi<QUOTE><CR><LF>"
            "there\r\n");
  EXPECT_EQ(global_.ReadINI(path_, "display options", "TOP", "-1"), "1440");
  EXPECT_EQ(global_.ReadINI(path_, "Service Options", "Username", ""), "say \"hi\"\r\nthere");
  EXPECT_EQ(beeper_.beeps, 0);
}

TEST_F(SettingsFile, HandEditsAreReadAsTheyStand) {
  Put("[log monitor options]\r\nrefresh time=\r\ntop=\"300\"\r\n"
      "[Service Options]\r\nUsername=\r\nDependencies=a<LF>b\r\n");
  EXPECT_EQ(global_.ReadINI(path_, "Log Monitor Options", "Refresh Time", "500"), "500");
  EXPECT_EQ(global_.ReadINI(path_, "Log Monitor Options", "Top", "-1"), "300");
  EXPECT_EQ(global_.ReadINI(path_, "Service Options", "Username", ".\\Administrator"),
            ".\\Administrator");
  EXPECT_EQ(global_.ReadINI(path_, "Service Options", "Dependencies", ""), "a\nb");
}

TEST_F(SettingsFile, AFailedWriteBeepsAndChangesNothing) {
  // A folder in the file's place cannot be written as a file.
  std::filesystem::create_directories(path_);
  global_.WriteINI(path_, "Display Options", "Top", "1");
  EXPECT_EQ(beeper_.beeps, 1);
  EXPECT_TRUE(std::filesystem::is_directory(path_));
  EXPECT_EQ(global_.ReadINI(path_, "Display Options", "Top", "-1"), "-1");
  EXPECT_FALSE(fake_.Reported());
}

}  // namespace
}  // namespace zlv
