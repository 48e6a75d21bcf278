#include "transfer/run_transfer.h"

#include <atomic>
#include <exception>
#include <new>

#include "link/port_finder.h"
#include "link/trace_port.h"
#include "text/texts.h"
#include "transfer/package_sending.h"
#include "transfer/receive_session.h"
#include "transfer/run_preparation.h"
#include "transfer/send_session.h"
#include "transfer/trace_file.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

// Detaches the port from the switch before the port is closed.
class AttachedPort {
  public:
    AttachedPort(CancelSwitch& cancel, Port& port) : cancel_(cancel) { cancel_.Attach(&port); }
    ~AttachedPort() { cancel_.Attach(nullptr); }
    AttachedPort(const AttachedPort&) = delete;
    AttachedPort& operator=(const AttachedPort&) = delete;

  private:
    CancelSwitch& cancel_;
};

// The status line, written into the trace as well when there is one.
class TracedStatus final : public StatusSink {
  public:
    TracedStatus(StatusSink& status, std::optional<TraceFile>& trace)
        : status_(status), trace_(trace) {}
    void ShowStatus(std::string_view gbkText) override {
        if (trace_) trace_->Status(gbkText);
        status_.ShowStatus(gbkText);
    }
    void ShowProgress(std::string_view gbkText, Progress progress) override {
        status_.ShowProgress(gbkText, progress);  // the trace's bytes say as much
    }
    void ShowHint(std::string_view gbkText) override {
        if (trace_) trace_->Status(gbkText);
        status_.ShowHint(gbkText);
    }

  private:
    StatusSink& status_;
    std::optional<TraceFile>& trace_;
};

// The port as the user named it, GBK, for the trace and the texts.
std::string PortShown(const PortChoice& port) {
    switch (port.kind) {
        case PortChoice::Kind::builtInHandheld:
            return std::string(texts::kBuiltInHandheld);
        case PortChoice::Kind::automatic:
            return std::string(texts::kAutomaticPort);
        case PortChoice::Kind::serial:
            break;
    }
    return texts::PortName(port.name);
}

ResultOf<std::unique_ptr<Port>> OpenPort(const PortChoice& port, const TransferSetup& setup) {
    if (setup.openPort) return setup.openPort(port);
    if (port.kind != PortChoice::Kind::serial) {
        return Result::Failed(texts::CannotOpenPort(PortShown(port)));
    }
    return OpenSerialPort(port.name);
}

// The serial port among `names` the handheld greets on, named on the status
// line. The search asks whether to stop from every listening thread: the
// hint of a quiet spell is shown by one of them, once.
ResultOf<std::unique_ptr<Port>> FindPort(const std::vector<std::string>& names,
                                         const TransferSetup& setup, StatusSink& status,
                                         CancelSwitch& cancel) {
    const auto openSerial = [&setup](std::string_view name) {
        return OpenPort(PortChoice{PortChoice::Kind::serial, std::string(name)}, setup);
    };
    const auto quietUntil = std::chrono::steady_clock::now() + setup.quietGreeting;
    std::atomic<bool> hinted{false};
    ResultOf<FoundPort> found = FindGreetingPort(names, openSerial, [&] {
        if (std::chrono::steady_clock::now() >= quietUntil && !hinted.exchange(true)) {
            status.ShowHint(texts::kQuietGreeting);
        }
        return cancel.Cancelled();
    });
    if (!found.IsOk()) return std::move(found).Failure();
    status.ShowStatus(texts::FoundOn(found.Value().name));
    return std::move(found.Value().port);
}

Result RunOperation(const TransferRequest& request, PreparedRun& prepared, TransferRun& run) {
    switch (request.kind) {
        case TransferKind::receive:
            return ReceiveSession(run, request.files.front());
        case TransferKind::sendPackage:
            return SendPackage(run, *prepared.package);
        case TransferKind::send:
            break;
    }
    return SendFiles(run, prepared.files);
}

// Everything between opening and closing the port.
Result RunOpened(const TransferRequest& request, const TransferSetup& setup, PreparedRun& prepared,
                 Port& port, StatusSink& status) {
    TransferRun run(port, status, Conversions{&setup.table, setup.charsets},
                    std::move(prepared.staging));
    run.convertedFromUtf8 = prepared.convertedFromUtf8;
    run.link.silenceBound = setup.silenceBound;
    if (request.port.kind == PortChoice::Kind::serial) {
        run.link.quietGreeting = setup.quietGreeting;
        run.link.onQuietGreeting = [&status] { status.ShowHint(texts::kQuietGreeting); };
    }
    return RunOperation(request, prepared, run);
}

// A cancel that cut a step short may show as that step's failure: the run
// was cancelled all the same.
Result AsCancelled(Result end, const CancelSwitch& cancel) {
    if (end.IsOk() || end.GetKind() == Result::Kind::cancelled || !cancel.Cancelled()) return end;
    return Result::Cancelled(end.Action(), end.Subject(), end.Error());
}

enum class Begun : bool { no, yes };  // whether the port opened

// The run's last texts: the trace's outcome line and its own failure, then
// "传输成功。", or the reason and "终止传输" (the reason alone when the port
// did not open: nothing was begun, nothing is aborted).
Result Ended(Result end, Begun begun, StatusSink& status, std::optional<TraceFile>& trace) {
    const std::string_view reason = end.Reason();
    if (trace) {
        Result traced = trace->Finish(end.IsOk()       ? texts::kSucceeded
                                      : reason.empty() ? texts::kAborted
                                                       : reason);
        trace.reset();
        if (!traced.IsOk()) status.ShowStatus(traced.Reason());
    }
    if (end.IsOk()) {
        status.ShowStatus(texts::kSucceeded);
    } else if (begun == Begun::yes) {
        if (!reason.empty()) status.ShowStatus(reason);
        status.ShowStatus(texts::kAborted);
    } else {
        status.ShowStatus(reason);
    }
    return end;
}

Result RunGuarded(const TransferRequest& request, const TransferSetup& setup, StatusSink& shown,
                  CancelSwitch& cancel, std::optional<TraceFile>& trace) {
    if (setup.traceFile) {
        std::vector<std::filesystem::path> runFiles;
        for (const TransferFile& file : request.files) runFiles.push_back(file.pcPath);
        ResultOf<TraceFile> opened = TraceFile::Open(*setup.traceFile, runFiles, setup.traceCommand,
                                                     PortShown(request.port));
        if (opened.IsOk()) {
            trace.emplace(std::move(opened).Value());
        } else {
            shown.ShowStatus(opened.Reason());
        }
    }
    TracedStatus status(shown, trace);
    ResultOf<PreparedRun> prepared = PrepareRun(request, Conversions{&setup.table, setup.charsets},
                                                Staging{setup.tempDirectory, {}});
    if (!prepared.IsOk()) return Ended(std::move(prepared).Failure(), Begun::yes, status, trace);
    status.ShowStatus(texts::kWaiting);
    const bool automatic = request.port.kind == PortChoice::Kind::automatic;
    std::vector<std::string> searched;
    if (automatic) searched = setup.listSerialPorts();
    if (!searched.empty()) status.ShowHint(texts::ListeningOn(searched));
    ResultOf<std::unique_ptr<Port>> opened =
        automatic ? FindPort(searched, setup, status, cancel) : OpenPort(request.port, setup);
    if (!opened.IsOk()) {
        Result failure = std::move(opened).Failure();
        const Begun begun = failure.GetKind() == Result::Kind::cancelled ? Begun::yes : Begun::no;
        return Ended(std::move(failure), begun, status, trace);
    }
    if (request.port.kind == PortChoice::Kind::serial) {
        status.ShowHint(texts::ListeningOn({request.port.name}));
    }
    std::unique_ptr<Port> port = std::move(opened).Value();
    Result result = Result::Ok();
    {
        std::optional<TracePort> traced;
        if (trace) traced.emplace(*port, trace->Writer());
        Port& used = traced ? *traced : *port;
        AttachedPort attached(cancel, used);
        result = RunOpened(request, setup, prepared.Value(), used, status);
    }
    port.reset();  // restored and closed before the run's last text
    return Ended(AsCancelled(std::move(result), cancel), Begun::yes, status, trace);
}

}  // namespace

Result RunTransfer(const TransferRequest& request, const TransferSetup& setup, StatusSink& status,
                   CancelSwitch& cancel) noexcept {
    std::optional<TraceFile> trace;
    try {
        return RunGuarded(request, setup, status, cancel, trace);
    } catch (...) {
        // The worker's catch-all: by now the port is back and closed.
        const std::string_view why = [] {
            try {
                throw;
            } catch (const std::bad_alloc&) {
                return texts::kNoMemory;
            } catch (...) {
                return texts::kUnexpectedError;
            }
        }();
        try {
            return Ended(Result::Failed(why), Begun::yes, status, trace);
        } catch (...) {
            // Showing a text failed (the sink threw, or memory ran out): the
            // caller still learns the run failed.
            return Result::Failed({});
        }
    }
}

}  // namespace kestrel
