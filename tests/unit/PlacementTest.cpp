#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeErrors.h"
#include "Fakes.h"
#include "shell/ManagerGlobal.h"

namespace zlv {
namespace {

using test::FakeBeeper;
using test::FakeProfileStore;
using test::FakeReporter;
using test::FakeScreen;
using test::FakeWindowFrame;
using Strings = std::vector<std::string>;

struct Fixture {
  FakeProfileStore store;
  FakeBeeper beeper;
  FakeReporter fake;
  ManagerGlobal settings{store, beeper, fake.reporter};
  FakeWindowFrame window;
  FakeScreen screen;

  void Saved(const std::string& section, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values) store.Set(section, key, value);
  }
  Strings Written() const {
    Strings out;
    for (const auto& w : store.writes) out.push_back(w.section + ":" + w.key + "=" + w.text);
    return out;
  }
};

struct LoadCase {
  const char* what;
  bool monitor;
  std::map<std::string, std::string> saved;
  Strings expected;  // what happens to the window, in order
};

TEST(LoadPlacement, RestoresOrCentresEachWindowByItsOwnRules) {
  // Screen 15360 x 11520 twips; the manager's designed size is 4800 x 3600.
  const LoadCase cases[] = {
      {"manager, nothing saved: top then left", false, {}, {"Top=3960", "Left=5280", "State=0"}},
      {"manager, saved",
       false,
       {{"Top", "300"}, {"Left", "-120"}, {"State", "2"}},
       {"Top=300", "Left=-120", "State=2"}},
      {"manager, Left -1 means nothing saved",
       false,
       {{"Top", "300"}, {"Left", "-1"}},
       {"Top=3960", "Left=5280", "State=0"}},
      {"manager, text that is no number counts as 0",
       false,
       {{"Top", "abc"}, {"Left", "12abc"}},
       {"Top=0", "Left=12", "State=0"}},
      {"manager, halves go to the even neighbour",
       false,
       {{"Top", "2.5"}, {"Left", "3.5"}, {"State", "1.5"}},
       {"Top=2", "Left=4", "State=2"}},
      {"monitor, nothing saved: default size, left then top",
       true,
       {},
       {"Width=8000", "Height=2000", "Left=3680", "Top=4760", "State=0"}},
      {"monitor, saved: one move",
       true,
       {{"Top", "10"}, {"Left", "20"}, {"Height", "3000"}, {"Width", "9000"}, {"State", "1"}},
       {"Move=20,10,9000,3000", "State=1"}},
      {"monitor, any size -1 means nothing saved",
       true,
       {{"Top", "10"}, {"Left", "20"}, {"Height", "3000"}, {"Width", "-1"}},
       {"Width=8000", "Height=2000", "Left=3680", "Top=4760", "State=0"}},
  };
  for (const auto& c : cases) {
    Fixture f;
    const PlacementScheme scheme = c.monitor ? MonitorPlacement() : ManagerPlacement();
    f.Saved(scheme.section, c.saved);
    LoadPlacement(f.settings, "f.ini", scheme, f.window, f.screen);
    EXPECT_EQ(f.window.log, c.expected) << c.what;
  }
}

TEST(LoadPlacement, ReadsItsKeysInOrderWithTheirDefaults) {
  Fixture f;
  LoadPlacement(f.settings, "f.ini", MonitorPlacement(), f.window, f.screen);
  Strings reads;
  for (const auto& r : f.store.reads) reads.push_back(r.section + ":" + r.key + "=" + r.text);
  EXPECT_EQ(reads, (Strings{"Log Monitor Options:Top=-1", "Log Monitor Options:Left=-1",
                            "Log Monitor Options:Height=-1", "Log Monitor Options:Width=-1",
                            "Log Monitor Options:State=0"}));
}

TEST(LoadPlacement, ValuesThatDoNotFitRaiseTheFailureBeforeTheWindowMoves) {
  struct Case {
    const char* key;
    const char* value;
    int32_t number;
  };
  const Case cases[] = {
      {"Top", "2147483648", err::kOverflow},
      {"Left", "-3e9", err::kOverflow},
      {"State", "32768", err::kOverflow},
      {"State", "3", err::kInvalidProperty},  // fits, but the window refuses it
  };
  for (const auto& c : cases) {
    Fixture f;
    f.Saved("Display Options", {{"Top", "1"}, {"Left", "1"}});
    f.Saved("Display Options", {{c.key, c.value}});
    try {
      LoadPlacement(f.settings, "f.ini", ManagerPlacement(), f.window, f.screen);
      ADD_FAILURE() << c.key << "=" << c.value << " was accepted";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), c.number) << c.key << "=" << c.value;
    }
    if (c.number == err::kOverflow) {
      EXPECT_TRUE(f.window.log.empty()) << c.key;
    }
    EXPECT_FALSE(f.fake.Reported()) << "the caller's LoadSettings reports it";
  }
}

TEST(SavePlacement, WritesThePlacementOnlyInTheNormalState) {
  struct Case {
    const char* what;
    bool monitor;
    int32_t state;
    Strings expected;
  };
  const Case cases[] = {
      {"manager, normal",
       false,
       0,
       {"Display Options:Top=-120", "Display Options:Left=300", "Display Options:State=0"}},
      {"manager, minimised", false, 1, {"Display Options:State=1"}},
      {"monitor, normal",
       true,
       0,
       {"Log Monitor Options:Top=-120", "Log Monitor Options:Left=300",
        "Log Monitor Options:Height=3600", "Log Monitor Options:Width=4800",
        "Log Monitor Options:State=0"}},
      {"monitor, maximised", true, 2, {"Log Monitor Options:State=2"}},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.window.top = -120;
    f.window.left = 300;
    f.window.state = c.state;
    SavePlacement(f.settings, "f.ini", c.monitor ? MonitorPlacement() : ManagerPlacement(),
                  f.window);
    EXPECT_EQ(f.Written(), c.expected) << c.what;
  }
}

TEST(SavePlacement, AReadOnlyFileCostsOneBeepPerKey) {
  for (auto [state, beeps] : {std::pair{0, 5}, std::pair{2, 1}}) {
    Fixture f;
    f.store.writable = false;
    f.window.state = state;
    SavePlacement(f.settings, "f.ini", MonitorPlacement(), f.window);
    EXPECT_EQ(f.beeper.beeps, beeps) << "state " << state;
  }
}

}  // namespace
}  // namespace zlv
