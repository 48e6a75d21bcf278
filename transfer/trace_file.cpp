#include "transfer/trace_file.h"

#include <chrono>
#include <cstdio>

#include "formats/whole_file.h"
#include "status/shown_name.h"
#include "text/gbk.h"
#include "text/texts.h"

namespace kestrel {
namespace {

std::string Utf8(std::string_view gbk) {
    return gbk::ToUtf8(gbk).value_or("?");
}

// "2025-01-02 03:04:05 UTC"
std::string UtcNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(floor<seconds>(now - day));
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// The file a path names once every link is followed, the last one too.
std::filesystem::path Resolved(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path at = ResolvedTarget(path);
    std::filesystem::path resolved = std::filesystem::weakly_canonical(at, error);
    return error ? at : resolved;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) || Resolved(a) == Resolved(b);
}

// Why `file` may not hold the trace, if it may not.
Result Refusal(const std::filesystem::path& file, std::span<const std::filesystem::path> runFiles,
               const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status found = std::filesystem::status(file, error);
    if (std::filesystem::exists(found) && !std::filesystem::is_regular_file(found)) {
        return Result::Failed(texts::kTraceNotRegularFile, name);
    }
    for (const std::filesystem::path& runFile : runFiles) {
        if (SameFile(file, runFile) || SameFile(file, PartialPath(runFile))) {
            return Result::Failed(texts::kTraceIsRunFile, name);
        }
    }
    return Result::Ok();
}

Result CannotWrite(const std::string& name, const Result& failure) {
    return Result::Failed(texts::kCannotWriteTrace, name, failure.Error());
}

}  // namespace

ResultOf<TraceFile> TraceFile::Open(const std::filesystem::path& file,
                                    std::span<const std::filesystem::path> runFiles,
                                    std::string_view command, std::string_view port) {
    std::string name = ShownName(file);
    if (Result refused = Refusal(file, runFiles, name); !refused.IsOk()) return refused;
    ResultOf<OutputFile> opened = OutputFile::Open(file, OutputFile::Creation::kEmptied);
    if (!opened.IsOk()) return CannotWrite(name, opened.Failure());
    TraceFile trace(std::move(opened).Value(), std::move(name));
    trace.Line("KESTREL " KESTREL_VERSION " trace");
    trace.Line("command: " + (command.empty() ? std::string("-") : std::string(command)));
    trace.Line("port: " + Utf8(port));
    trace.Line("date: " + UtcNow());
    if (!trace.failure_.IsOk()) return CannotWrite(trace.name_, trace.failure_);
    return trace;
}

void TraceFile::Line(std::string_view utf8) {
    if (!failure_.IsOk()) return;
    std::string line(utf8);
    line.push_back('\n');
    Result written = file_.Write({reinterpret_cast<const std::uint8_t*>(line.data()), line.size()});
    if (written.IsOk()) written = file_.Flush();
    if (!written.IsOk()) failure_ = std::move(written);
}

LineWriter TraceFile::Writer() {
    return [this](std::string_view line) { Line(line); };
}

void TraceFile::Status(std::string_view gbkText) {
    Line("status: " + Utf8(gbkText));
}

Result TraceFile::Finish(std::string_view gbkOutcome) {
    Line("outcome: " + Utf8(gbkOutcome));
    Result closed = file_.Close();
    if (failure_.IsOk()) failure_ = std::move(closed);
    if (!failure_.IsOk()) return CannotWrite(name_, failure_);
    return Result::Ok();
}

}  // namespace kestrel
