#include "setup/resultfile.h"

#include "platform/file.h"
#include "platform/text.h"

void AppendResultLine(const std::string& path, const std::string& text) {
  if (path.empty() || text.empty()) return;
  // Opened without sharing for the moment of one line: a reader holding the
  // file refuses the append rather than seeing half a line.
  platform::File file = platform::File::Open(platform::FromAnsi(path), platform::OpenMode::kAppendAlways);
  if (!file.IsOpen()) return;
  std::string line = text + "\r\n";
  if (line.size() > 259) line.resize(259);  // the line buffer holds 260 bytes with its zero
  file.Write(line.data(), line.size());
}

void AppendResultSection(const std::string& path, bool succeeded, ResultStyle style) {
  AppendResultLine(path, kResultHeader);
  if (!succeeded) {
    AppendResultLine(path, kResultFailed);
  } else {
    AppendResultLine(path, style == ResultStyle::kSilent ? kResultSilentOk : kResultInteractiveOk);
  }
}
