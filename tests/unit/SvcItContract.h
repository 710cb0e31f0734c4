// What every service-control component must do, held against the in-memory
// one natively and against the service manager under Wine. A side gives the
// component, makes the next started service behave as asked, and tells the
// control codes the service received.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "service/SvcIt.h"

namespace zlv::test {

enum class Behaviour {
  kWellBehaved,
  kNeverStarts,  // its program is missing
  kIgnoresStop,  // takes the stop request and goes on running
  kStopsSlowly,  // six seconds of stop pending with progress: longer than a stall is judged by
};

template <class Side>
class SvcItContract : public ::testing::Test {
 protected:
  Side side;
  SvcIt& svc = side.Svc();

  void InstallAndStart(Behaviour behaviour) {
    side.Behave(behaviour);
    svc.ServiceName("Zemlo Linkvane");
    svc.DisplayName("Zemlo Linkvane");
    svc.ExecutablePath(side.Program());
    svc.Install(false);
    ASSERT_TRUE(svc.Installed());
    ASSERT_FALSE(svc.Running()) << "registered, not started";
    svc.Start("");
  }
};

TYPED_TEST_SUITE_P(SvcItContract);

TYPED_TEST_P(SvcItContract, AMissingServiceReadsAsAbsentAndRefusesEveryCall) {
  SvcIt& svc = this->svc;
  svc.ServiceName("Zemlo Linkvane");
  EXPECT_FALSE(svc.Installed() || svc.Running());
  EXPECT_THROW(svc.Start(""), Failure);
  EXPECT_THROW(svc.Stop(), Failure);
  EXPECT_THROW(svc.SendControl(200), Failure);
  EXPECT_THROW(svc.Uninstall(), Failure);
}

TYPED_TEST_P(SvcItContract, AWellBehavedServiceRunsTakesItsCodesStopsAndGoes) {
  SvcIt& svc = this->svc;
  this->InstallAndStart(Behaviour::kWellBehaved);
  EXPECT_TRUE(svc.Running());
  EXPECT_THROW(svc.Install(false), Failure) << "an existing registration stays as it is";
  svc.SendControl(200);
  EXPECT_THROW(svc.SendControl(300), Failure) << "user codes are 128 to 255";
  svc.Stop();
  EXPECT_FALSE(svc.Running());
  EXPECT_NO_THROW(svc.SendControl(201)) << "a stopped service lets a code go unanswered";
  EXPECT_EQ(this->side.Delivered(), std::vector<int32_t>{200});
  svc.Uninstall();
  EXPECT_TRUE(this->side.Eventually([&] { return !svc.Installed(); }));
}

TYPED_TEST_P(SvcItContract, AServiceThatNeverComesUpIsNotRunningWithoutAFailure) {
  this->InstallAndStart(Behaviour::kNeverStarts);
  EXPECT_FALSE(this->svc.Running());
}

TYPED_TEST_P(SvcItContract, AServiceThatIgnoresStopIsLeftRunningWithoutAFailure) {
  this->InstallAndStart(Behaviour::kIgnoresStop);
  EXPECT_NO_THROW(this->svc.Stop());
  EXPECT_TRUE(this->svc.Running());
}

TYPED_TEST_P(SvcItContract, ARemovedServiceThatIgnoresStopLingersWithoutAFailure) {
  SvcIt& svc = this->svc;
  this->InstallAndStart(Behaviour::kIgnoresStop);
  EXPECT_NO_THROW(svc.Uninstall());
  EXPECT_TRUE(svc.Installed()) << "marked for deletion, it lives until it stops";
  EXPECT_THROW(svc.Install(false), Failure) << "no new registration while the old one lingers";
}

TYPED_TEST_P(SvcItContract, StopWaitsForASlowStopUninstallDoesNot) {
  SvcIt& svc = this->svc;
  this->InstallAndStart(Behaviour::kStopsSlowly);
  svc.Stop();
  EXPECT_FALSE(svc.Running());
  svc.Start("");
  ASSERT_TRUE(svc.Running());
  const auto asked = std::chrono::steady_clock::now();
  svc.Uninstall();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
  EXPECT_TRUE(svc.Installed() && svc.Running()) << "a stopping service still runs";
  EXPECT_TRUE(this->side.Eventually([&] { return !svc.Installed(); }));
}

REGISTER_TYPED_TEST_SUITE_P(SvcItContract, AMissingServiceReadsAsAbsentAndRefusesEveryCall,
                            AWellBehavedServiceRunsTakesItsCodesStopsAndGoes,
                            AServiceThatNeverComesUpIsNotRunningWithoutAFailure,
                            AServiceThatIgnoresStopIsLeftRunningWithoutAFailure,
                            ARemovedServiceThatIgnoresStopLingersWithoutAFailure,
                            StopWaitsForASlowStopUninstallDoesNot);

}  // namespace zlv::test
