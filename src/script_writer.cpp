#include "script_writer.h"

#include "output_stream.h"
#include "platform.h"

std::string ScriptFileName(std::string_view tag) {
  std::string name = "demo_";
  name += tag;
  name += ".cfg";
  return name;
}

void WriteScript(std::string_view tag, std::string_view stamp) {
  platform::File file = platform::File::OpenForRewrite(ScriptFileName(tag));
  OutputStream out([&file](const char* data, std::size_t size) { file.Write(data, size); },
                   OutputStream::Flushing::kWhenFull);
  std::string alias = "alias autorec \"stop; record ";
  alias += stamp;
  alias += '_';
  alias += tag;
  alias += '"';
  out.WriteLine(alias);
  out.WriteLine("try_rec");
  out.Flush();
  file.CutAt(out.BytesWritten());
  file.Close();
}
