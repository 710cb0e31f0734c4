#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fakes.h"
#include "logmonitor/MonitorLog.h"
#include "manager/LinkvaneManager.h"
#include "settings/FileProfileStore.h"
#include "settings/SettingsLocation.h"

namespace zlv::test {
namespace {

// The statement that ran last is named, a skipped one included. Skipping
// passes over any failure, a memory failure too, until it is switched off; a
// memory failure is reported as error 7.
TEST(Procedure, ReportsAFailureInEightLinesThenBeepsThenEnds) {
  const std::pair<std::function<void()>, std::string> failures[] = {
      {[] { Raise(-2147221504, "x y"); }, "-2147221504\r\nDescription: x y"},
      {[] { throw std::bad_alloc(); }, "7\r\nDescription: Out of memory"}};
  for (const auto& [fail, told] : failures) {
    FakeDesktop desktop;
    Procedure p({desktop.reporter, "Registry"}, "Getstring");
    const auto body = [&] {
      p.At(10);
      p.SkipFailures();
      p.Do(20, [] { Raise(5, "skipped"); });
      p.Do(21, [] { throw std::bad_alloc(); });
      EXPECT_EQ(p.Read(22, 7, []() -> int { throw std::runtime_error("skipped"); }), 7);
      p.SkipFailures(false);
      p.Do(23, fail);
    };
    EXPECT_THROW(p.Run(body), ProgramEnded);
    EXPECT_EQ(desktop.message,
              "*** INTERNAL PROGRAM ERROR - Please contact support@zemlo.example ***\r\n"
              "Version 3.2.1\r\nError Number: " +
                  told +
                  "\r\nModule Name: Registry\r\nProcedure Name: Getstring\r\n"
                  "Line Number: 23\r\nDate and time: 06/12/2026 10:11:12");
    EXPECT_EQ(desktop.events, (Strings{"box Critical Error", "beep", "end"}));
  }
}

struct Settings : FakeSettings {
  FakeFrame<WindowFrame> window;  // 4800 x 3600 on a screen of 15360 x 11520
};

// Under Wine, ProfileDiff holds names in any case, blanks, quotes, NULs,
// duplicate sections and the 1023-character cut against the system's reads.
TEST(ReadINI, FindsValuesAsThePlatformReadsThemAndUnescapes) {
  const struct {
    std::optional<std::string> file;
    std::string expected, defaultValue = "-", section = "S", key = "k";
  } cases[] = {
      {"[a]b]\r\nk=1\r\n", "1", "", "a]b"},  // the header's name runs to the last ']'
      {"[S]\r\nk=\"  5\"\r\n", "5"},
      {"[S]\nk=1\nk=2\n", "1"},
      {"[S\r\nk=1\r\n", "-"},
      {"[S]\r\na=1\r\n[T]\r\nk=2\r\n", "-"},  // a key missing from its section
      {"[S]\r\nk=v\rj=w\r\n", "v\rj=w"},      // a CR ends a line only where no LF follows
      {"[S]\r\nk=\r\n", "  ", "  "},          // an empty value gives the default as passed
      {"[S]\r\nk=a<QUOTE><CR><LF>b<cr>\r\n", "a\"\r\nb<cr>"},  // marks in exact case
      {std::nullopt, "\n", "<LF>"},
  };
  for (const auto& c : cases) {
    Settings s;
    s.store.content = c.file;
    EXPECT_EQ(s.settings.ReadINI("f.ini", c.section, c.key, c.defaultValue), c.expected)
        << c.file.value_or("no file");
  }
}

TEST(ProfileEngine, WritesChangeOnlyWhatTheyMust) {
  using Text = std::string;
  const std::tuple<Text, Text, Text, Text, std::optional<Text>> cases[] = {
      // in place: spelling, blanks and line end kept
      {"[s]\n  K = \"old\"  \nk=2\n", "S", "k", "", "[s]\n  K =   \nk=2\n"},
      {"[A]\r\na=1\r\n\r\n[B]\r\n", "a", "k", "v", "[A]\r\na=1\r\nk=v\r\n\r\n[B]\r\n"},
      {"[A]\na=1", "B", "k", "v", "[A]\na=1\r\n[B]\r\nk=v\r\n"},
      // An LF among lines that end in CR alone would join them into one line.
      {"[S]\rk=v", "S", "j", "w", "[S]\rk=v\rj=w\r"},
      {"[A]\r\n[S]\rk=v\r", "S", "j", "w", "[A]\r\n[S]\rk=v\rj=w\r"},
      // refused: a blank section, a line break, what reads back as another key or a header
      {"", "  ", "k", "v", std::nullopt},
      {"", "S", "k", "two\nlines", std::nullopt},
      {"", "S", "a=b", "v", std::nullopt},
      {"", "S", "[x", "]", std::nullopt},
  };
  for (const auto& [before, section, key, value, after] : cases) {
    EXPECT_EQ(profile::WriteString(before, section, key, value), after) << before << key;
  }
}

TEST(Numbers, AreReadFromTheStartOfATextAndRoundedHalfToEven) {
  const std::pair<const char*, double> numbers[] = {
      {"-120", -120},       {"+7", 7},          {"12abc", 12}, {"", 0},        {".5", 0.5},
      {" - 1\t2\n3", -123}, {"1.2.3", 1.2},     {"1,5", 1},    {"1D3", 1000},  {"2.5E-1", 0.25},
      {"1e+x", 1},          {"--1", 0},         {"&hff", 255}, {"&HFFFF", -1}, {"&H8000", -32768},
      {"&H10000", 65536},   {"&HFFFFFFFF", -1}, {"&O17", 15},  {"&O8", 0},     {"1e-400", 0}};
  for (const auto& [text, value] : numbers) EXPECT_DOUBLE_EQ(NumericValue(text), value) << text;
  for (const char* text : {"1e400", "&H123456789"}) EXPECT_THROW(NumericValue(text), Failure);
  const std::pair<double, int32_t> wholes[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-0.6, -1}, {2147483647.4, INT32_MAX}};
  for (const auto& [value, whole] : wholes) EXPECT_EQ(ToInt32(value), whole) << value;
  EXPECT_EQ(ToInt16(-32768.5), -32768);
  EXPECT_THROW(ToInt32(2147483647.5), Failure);
  EXPECT_THROW(ToInt16(-32769.0), Failure);
}

// The settings file is replaced through a temporary file beside it, or else
// rewritten in place. Every refused key costs one beep and not a byte: a
// read-only file (in a folder that would let a replacement through), a key the
// format cannot hold, a missing folder.
TEST(FileProfileStore, WritesThroughATemporaryFileAndRefusalsChangeNothing) {
  TempFolder folder;
  const std::string path = folder.File("ZemloLinkvaneManager-Settings.ini");
  folder.Put("ZemloLinkvaneManager-Settings.ini", "; note\r\n[Display Options]\r\nTop=1440\r\n");
  bool replaceable = true;
  FileProfileStore store([&](const std::string& from, const std::string& to) {
    EXPECT_EQ(from.substr(0, path.size()), path) << "beside it, on the same volume";
    return replaceable && RenameReplace(from, to);
  });
  FakeDesktop desktop;
  ManagerGlobal settings(store, desktop, desktop.reporter);
  settings.WriteINI(path, "Display Options", "Top", "\"1\"\r\n");
  replaceable = false;
  settings.WriteINI(path, "Display Options", "Left", "2");
  const std::string written =
      "; note\r\n[Display Options]\r\nTop=<QUOTE>1<QUOTE><CR><LF>\r\nLeft=2\r\n";
  EXPECT_EQ(ReadWholeFile(path), written);
  replaceable = true;
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const bool root = geteuid() == 0;  // root may write any file; an ordinary user meets refusals
  ASSERT_EQ(root ? seteuid(65534) : 0, 0);
  FakeFrame<WindowFrame> window;  // minimised: only its state is written
  window.state = state::kMinimized;
  SavePlacement(settings, path, kManagerPlacement, window);
  ASSERT_EQ(root ? seteuid(0) : 0, 0);
  settings.WriteINI(path, "Display Options", "a=b", "1");
  settings.WriteINI(folder.File("missing/s.ini"), "Display Options", "Top", "1");
  EXPECT_EQ(desktop.beeps, 3);
  EXPECT_EQ(ReadWholeFile(path), written);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1)
      << "no temporary file is left";
}

struct FakeUser : UserAccount {
  std::string OwnCopy() override { return place ? (folder / kSettingsFileName).string() : ""; }
  bool MakeOwnCopyFolder() override { return makeable && create_directories(folder), makeable; }
  std::filesystem::path folder;
  bool place = true, makeable = true;
};

// The folder's file while this process may write it, else the user's own copy,
// made from the folder's file once; an unelevated manager keeps that copy, an
// elevated one goes back to the folder. Refusals are met as an ordinary user.
TEST(SettingsLocation, TheFolderWhileItMayBeWrittenElseTheUsersOwnCopyMadeOnce) {
  enum Folder { kWritable, kAbsent, kReadOnly, kUnreadable, kAbsentInReadOnlyFolder };
  struct Case {
    const char* what;
    Folder folder;
    std::optional<std::string> copyBefore;
    bool limited, place, makeable, replaceable;
    bool own;  // the choice: the own copy, else the folder's file
    std::optional<std::string> copyAfter;
  };
  const std::string a = "[Display Options]\r\nTop=1\r\n";
  const Case cases[] = {
      {"elevated, back to the folder", kWritable, "old", false, true, true, true, false, "old"},
      {"a standard user's first run", kReadOnly, {}, false, true, true, true, true, a},
      {"unelevated, folder writable", kWritable, {}, true, true, true, true, false, {}},
      {"a new writable folder", kAbsent, {}, true, true, true, true, false, {}},
      {"unelevated keeps its copy", kWritable, "old", true, true, true, true, true, "old"},
      {"unelevated, read-only folder", kReadOnly, {}, true, true, true, true, true, a},
      {"nothing to copy yet", kAbsentInReadOnlyFolder, {}, true, true, true, true, true, ""},
      {"unreadable settings stay", kUnreadable, {}, true, true, true, true, false, {}},
      {"no own place", kReadOnly, {}, true, false, true, true, false, {}},
      {"own folder refused", kReadOnly, {}, true, true, false, true, false, {}},
      {"copy not put in place", kReadOnly, {}, true, true, true, false, false, {}},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    const std::filesystem::path app = temp.path / "app";
    create_directories(app);
    const std::string folderFile = (app / kSettingsFileName).string();
    const bool absent = c.folder == kAbsent || c.folder == kAbsentInReadOnlyFolder;
    if (!absent) temp.Put("app/" + std::string(kSettingsFileName), a);
    FakeUser user;
    user.folder = temp.path / "own";
    user.place = c.place, user.makeable = c.makeable;
    const std::string ownCopy = (user.folder / kSettingsFileName).string();
    if (c.copyBefore)
      create_directories(user.folder),
          temp.Put("own/ZemloLinkvaneManager-Settings.ini", *c.copyBefore);
    chmod(folderFile.c_str(), c.folder == kReadOnly ? 0444 : c.folder == kUnreadable ? 0 : 0666);
    chmod(app.c_str(), c.folder == kWritable || c.folder == kAbsent ? 0777 : 0555);
    const bool root = geteuid() == 0;
    ASSERT_EQ(root ? seteuid(65534) : 0, 0);
    const std::string chosen = ChooseSettingsFile(
        folderFile, c.limited, user,
        [&](auto& from, auto& to) { return c.replaceable && RenameReplace(from, to); });
    ASSERT_EQ(root ? seteuid(0) : 0, 0);
    EXPECT_EQ(chosen, c.own ? ownCopy : folderFile) << c.what;
    EXPECT_EQ(ReadWholeFile(ownCopy), c.copyAfter) << c.what;
    EXPECT_EQ(ReadWholeFile(folderFile).value_or(a), a) << c.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(app), {}), !absent)
        << c.what << ": nothing left in the folder";
  }
}

TEST(Placement, IsRestoredOrCentredByEachWindowsOwnRulesAsFarAsItFits) {
  // The manager centres top then left; -1 in either means nothing saved. The
  // monitor takes its default size and centres left then top, or makes one move.
  const Strings centred = {"Top=3960", "Left=5280", "State=0"},
                byDefault = {"Width=8000", "Height=2000", "Left=3680", "Top=4760", "State=0"};
  const std::tuple<bool, std::string, Strings> cases[] = {
      {false, "", centred},
      {false, "Top=300\nLeft=-120\nState=2", {"Top=300", "Left=-120", "State=2"}},
      {false, "Top=300\nLeft=-1", centred},
      {false, "Top=abc\nLeft=12abc\nState=1.5", {"Top=0", "Left=12", "State=2"}},
      {true, "", byDefault},
      {true, "Top=1\nLeft=2\nHeight=3\nWidth=4\nState=1", {"Move=2,1,4,3", "State=1"}},
      {true, "Top=1\nLeft=2\nHeight=-1\nWidth=4", byDefault},
      // What does not fit raises for the caller to report, before the window moves.
      {false, "Top=2147483648", {"Failure 6"}},
      {false, "State=32768", {"Failure 6"}},
      {false, "State=3", {"Top=3960", "Left=5280", "Failure 380"}},
  };
  for (const auto& [monitor, saved, expected] : cases) {
    Settings s;
    const PlacementScheme scheme = monitor ? monitorlog::kPlacement : kManagerPlacement;
    s.store.content = std::string("[") + scheme.section + "]\n" + saved;
    try {
      LoadPlacement(s.settings, "f.ini", scheme, s.window, s.desktop);
    } catch (const Failure& failure) {
      s.window.Log("Failure " + std::to_string(failure.Number()));
    }
    EXPECT_EQ(s.window.log, expected) << saved;
  }
}

}  // namespace
}  // namespace zlv::test
