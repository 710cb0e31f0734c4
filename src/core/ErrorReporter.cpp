#include "core/ErrorReporter.h"

#include <cstdlib>
#include <exception>
#include <new>

namespace zlv {

std::string BuildErrorMessage(const ProgramVersion& version, const Failure& failure,
                              std::string_view module, std::string_view procedure, int32_t line,
                              std::string_view dateTime) {
  const std::string crlf = "\r\n";
  std::string text;
  text += "*** INTERNAL PROGRAM ERROR - Please contact ";
  text += kSupportContact;
  text += " ***" + crlf;
  text += "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
          std::to_string(version.revision) + crlf;
  text += "Error Number: " + std::to_string(failure.Number()) + crlf;
  text += "Description: " + failure.Description() + crlf;
  text += "Module Name: " + std::string(module) + crlf;
  text += "Procedure Name: " + std::string(procedure) + crlf;
  text += "Line Number: " + std::to_string(line) + crlf;
  text += "Date and time: " + std::string(dateTime);
  return text;
}

void ErrorReporter::ReportError(std::string_view module, std::string_view procedure,
                                const Failure& failure, int32_t line) {
  const ProgramVersion version = output_.Version();
  const std::string text =
      BuildErrorMessage(version, failure, module, procedure, line, output_.GeneralDateTime());
  output_.ShowCritical(text, "Critical Error");
  output_.Beep();
  output_.EndNow();
  std::abort();  // EndNow does not return; this keeps a faulty platform from going on
}

Failure CaughtFailure() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return Failure(err::kOutOfMemory, "Out of memory");
  } catch (const std::exception& e) {
    return Failure(err::kInternal, e.what());
  } catch (...) {
    return Failure(err::kInternal, "Unknown failure");
  }
}

void Procedure::Report(const Failure& failure) {
  module_.Reporter().ReportError(module_.Name(), name_, failure, line_);
}

}  // namespace zlv
