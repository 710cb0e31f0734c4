#include "FakeSvcIt.h"
#include "SvcItContract.h"

namespace zlv::test {
namespace {

class FakeSide {
 public:
  SvcIt& Svc() { return svc_; }
  std::string Program() const { return "C:\\Zemlo\\Linkvane_Service.exe"; }
  void Behave(Behaviour behaviour) {
    using Service = FakeSvcIt::Service;
    svc_.behaviour = behaviour == Behaviour::kNeverStarts   ? Service::kNeverStarts
                     : behaviour == Behaviour::kIgnoresStop ? Service::kIgnoresStop
                                                            : Service::kWellBehaved;
    svc_.stopReadings = behaviour == Behaviour::kStopsSlowly ? 3 : 0;
  }
  std::vector<int32_t> Delivered() const { return svc_.delivered; }
  bool Eventually(const std::function<bool()>& probe) {
    for (int reading = 0; reading < 10; ++reading) {
      if (probe()) return true;
    }
    return false;
  }

 private:
  FakeSvcIt svc_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, SvcItContract, FakeSide);

}  // namespace
}  // namespace zlv::test
