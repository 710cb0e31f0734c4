#include <gtest/gtest.h>

#include "FakeErrors.h"
#include "shell/Failure.h"

namespace zlv {
namespace {

using test::FakeReporter;
using test::ProgramEnded;

struct MessageCase {
  int32_t number;
  std::string description;
  int32_t line;
  std::string expected;
};

TEST(ErrorReporter, BuildsTheEightLineMessage) {
  const std::string head =
      "*** INTERNAL PROGRAM ERROR - Please contact support@zemlo.example ***\r\nVersion 3.2.1\r\n";
  const std::string tail = "Module Name: LinkvaneManager\r\nProcedure Name: ServiceHide\r\n";
  const MessageCase cases[] = {
      {6, "Overflow", 40, "Error Number: 6\r\nDescription: Overflow\r\n"},
      {-2147221504, "Automation error", 10,
       "Error Number: -2147221504\r\nDescription: Automation error\r\n"},
      {5, "", 0, "Error Number: 5\r\nDescription: \r\n"},
  };
  for (const auto& c : cases) {
    const std::string text =
        BuildErrorMessage({3, 2, 1}, Failure(c.number, c.description), "LinkvaneManager",
                          "ServiceHide", c.line, "06/12/2026 10:11:12");
    EXPECT_EQ(text, head + c.expected + tail + "Line Number: " + std::to_string(c.line) +
                        "\r\nDate and time: 06/12/2026 10:11:12");
  }
}

TEST(ErrorReporter, ShowsThenBeepsThenEnds) {
  FakeReporter fake;
  EXPECT_THROW(fake.reporter.ReportError("Registry", "Getstring", Failure(5, "x"), 20),
               ProgramEnded);
  EXPECT_EQ(fake.output.titles, std::vector<std::string>{"Critical Error"});
  EXPECT_EQ(fake.output.events, (std::vector<std::string>{"message", "beep", "end"}));
}

TEST(Procedure, ReportsTheFailingStatementNumber) {
  FakeReporter fake;
  int reached = 0;
  Procedure p(fake.reporter, "ManagerGlobal", "ReadINI");
  EXPECT_THROW(p.Run([&] {
    p.At(10);
    reached = 10;
    p.At(20);
    Raise(13, "Type mismatch");
    reached = 20;
  }),
               ProgramEnded);
  EXPECT_EQ(reached, 10);
  EXPECT_NE(fake.Message().find("Error Number: 13\r\nDescription: Type mismatch\r\n"
                                "Module Name: ManagerGlobal\r\nProcedure Name: ReadINI\r\n"
                                "Line Number: 20\r\n"),
            std::string::npos);
}

TEST(Procedure, StandardExceptionsAreReportedToo) {
  FakeReporter fake;
  Procedure p(fake.reporter, "LinkvaneManager", "Form_Load");
  EXPECT_THROW(p.Run([] { throw std::out_of_range("bad index"); }), ProgramEnded);
  EXPECT_NE(fake.Message().find("Error Number: 51\r\nDescription: bad index\r\n"),
            std::string::npos);
  EXPECT_NE(fake.Message().find("Line Number: 0\r\n"), std::string::npos);
}

TEST(Procedure, SkippedStatementsGoOnAndReturnTheirFallback) {
  FakeReporter fake;
  Procedure p(fake.reporter, "LinkvaneManager", "ShowStatus");
  std::vector<int> ran;
  const bool installed = p.Run([&] {
    p.Skip(10, [&] { Raise(1060, "missing"); });
    p.Skip(20, [&] { ran.push_back(20); });
    return p.SkipOr(30, false, [&]() -> bool { Raise(5, "denied"); });
  });
  EXPECT_FALSE(installed);
  EXPECT_EQ(ran, std::vector<int>{20});
  EXPECT_FALSE(fake.Reported());
}

TEST(Procedure, ReturnsTheBodysValue) {
  FakeReporter fake;
  Procedure p(fake.reporter, "Registry", "StripTerminator");
  EXPECT_EQ(p.Run([] { return std::string("5.1"); }), "5.1");
}

}  // namespace
}  // namespace zlv
