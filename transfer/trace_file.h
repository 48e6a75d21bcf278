#pragma once
// The run's trace, when one is asked for: a UTF-8 file a maintainer reads.
// A header (the program and its version, the command line, the port, the
// date and time in UTC), then every status text and every byte each way as
// the trace port (link/trace_port.h) writes it down, with times from the
// first byte, and one outcome line at the end: the run's last status text
// ("传输成功。", or the reason it failed).
//
// Promises: each line reaches the system as it is written, so the trace
// survives a run that ends badly. A trace goes only to a new file or to a
// regular file that is none of the run's PC files nor their ".part"s (the
// same file under another name or through a link counts): anything else (a
// folder, a FIFO, a device) is refused without being opened, so nothing
// blocks and none of the user's files is emptied. A trace refused or that
// cannot be written does not stop the run: Open() and Finish() say why
// (the refusal, or "无法写入跟踪文件", its name and the OS's reason), for
// the status line.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "formats/pc_file.h"
#include "link/trace_port.h"
#include "status/result.h"

namespace kestrel {

class TraceFile {
  public:
    // Replaces the file with the header. `runFiles` are the run's PC files;
    // `command` is UTF-8; `port` GBK.
    static ResultOf<TraceFile> Open(const std::filesystem::path& file,
                                    std::span<const std::filesystem::path> runFiles,
                                    std::string_view command, std::string_view port);

    // Lines for a TracePort; the trace file must outlive it and not move.
    LineWriter Writer();
    // A status text (GBK) the run showed.
    void Status(std::string_view gbkText);
    // The outcome line, then the file closed: ok, or why the trace is not whole.
    Result Finish(std::string_view gbkOutcome);

  private:
    TraceFile(OutputFile file, std::string name) : file_(std::move(file)), name_(std::move(name)) {}
    void Line(std::string_view utf8);

    OutputFile file_;
    std::string name_;               // GBK, for failures
    Result failure_ = Result::Ok();  // the first failure to write
};

}  // namespace kestrel
