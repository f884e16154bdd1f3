// demostamp: keeps the nine demo recording scripts in the current directory up to date.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "command_line.h"
#include "errors.h"
#include "output_stream.h"
#include "platform.h"
#include "script_writer.h"
#include "stamp.h"

namespace {

void WriteBanner(std::int32_t interval_ms) {
  platform::File out = platform::File::StandardOutput();
  OutputStream banner(
      [&out](const char* data, std::size_t size) { out.Write(data, size); },
      out.IsConsole() ? OutputStream::Flushing::kAtLineEnd : OutputStream::Flushing::kWhenFull);
  banner.WriteLine("Update every " + std::to_string(interval_ms / 1000) + " seconds");
  banner.WriteLine("Exit: Ctrl+C");
  // Written out at once on a file or pipe too: a log must show it even when Ctrl+C ends the run.
  banner.Flush();
}

[[noreturn]] void UpdateForever(std::int32_t interval_ms, bool WithSeconds) {
  for (;;) {
    // Held so that an interrupt never leaves the nine scripts with different stamps.
    platform::HoldInterrupts();
    const std::string CurrentStamp = MakeStamp(platform::ReadLocalClock(), WithSeconds);
    for (const std::string_view tag : Tags) WriteScript(tag, CurrentStamp);
    platform::ReleaseInterrupts();
    platform::SleepMs(static_cast<std::uint32_t>(interval_ms));
  }
}

void ReportFailure(const char* class_name, const std::string& message, const void* place) {
  const std::string report = FailureReport(class_name, platform::ExecutableName(),
                                           platform::OffsetInExecutable(place), message);
  platform::WriteStdoutIgnoringFailure(report.data(), report.size());
  platform::WriteStdoutIgnoringFailure("\r\n", 2);
}

}  // namespace

int main(int argc, char* argv[]) {
  try {
    platform::InitProcess();
    const std::int32_t interval_ms = ParseInterval(IntervalArgument(argc, argv));
    WriteBanner(interval_ms);
    UpdateForever(interval_ms, interval_ms % 60000 != 0);
  } catch (const Exception& error) {
    ReportFailure(error.ClassName(), error.what(), error.Place());
  } catch (const std::exception& error) {
    ReportFailure("Exception", error.what(), nullptr);
  }
  return EXIT_FAILURE;
}
