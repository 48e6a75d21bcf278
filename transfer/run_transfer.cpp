#include "transfer/run_transfer.h"

#include <atomic>
#include <exception>
#include <fstream>
#include <new>

#include "link/port_finder.h"
#include "link/trace_port.h"
#include "text/texts.h"
#include "transfer/package_sending.h"
#include "transfer/receive_session.h"
#include "transfer/send_session.h"
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

// The run's port with its trace, while the trace file can be written.
class TracedPort {
  public:
    TracedPort(Port& port, const std::filesystem::path& file, TextShower showText)
        : out_(file, std::ios::binary | std::ios::trunc), port_(port, out_, std::move(showText)) {}
    bool Writing() const { return out_.good(); }
    Port& Traced() { return port_; }

  private:
    std::ofstream out_;
    TracePort port_;
};

OpenedPort OpenPort(const PortChoice& port, const TransferSetup& setup) {
    try {
        if (setup.openPort) return setup.openPort(port);
        if (port.kind != PortChoice::Kind::serial) return {nullptr, {}};
        return OpenSerialPort(port.name);
    } catch (const std::bad_alloc&) {
        return {nullptr, std::string(texts::kNoMemory)};
    } catch (...) {
        return {nullptr, std::string(texts::kUnexpectedError)};
    }
}

Result RunOperation(const TransferRequest& request, TransferRun& run) {
    if (request.files.empty()) return Result::Failed(texts::kNothingToSend);
    switch (request.kind) {
        case TransferKind::receive:
            return ReceiveSession(run, request.files.front());
        case TransferKind::sendPackage:
            return SendPackage(run, request.files.front().pcPath);
        case TransferKind::send:
            break;
    }
    return SendFiles(run, request.files);
}

// Everything between opening and closing the port; whatever escapes is a
// failure of the run like any other.
Result RunOpened(const TransferRequest& request, const TransferSetup& setup, Port& port,
                 StatusSink& status, bool& convertedFromUtf8) {
    try {
        TransferRun run(port, status,
                        FormatContext{setup.table ? &*setup.table : nullptr,
                                      setup.missingTableName,
                                      setup.charsets,
                                      setup.tempDirectory,
                                      {}});
        run.link.silenceBound = setup.silenceBound;
        if (request.port.kind == PortChoice::Kind::serial) {
            run.link.quietGreeting = setup.quietGreeting;
            run.link.onQuietGreeting = [&status] { status.ShowHint(texts::kQuietGreeting); };
        }
        Result result = RunOperation(request, run);
        convertedFromUtf8 = run.convertedFromUtf8;
        return result;
    } catch (const std::bad_alloc&) {
        return Result::Failed(texts::kNoMemory);
    } catch (...) {
        return Result::Failed(texts::kUnexpectedError);
    }
}

TransferEnd Ended(TransferOutcome outcome, std::string reason, StatusSink& status) {
    if (outcome == TransferOutcome::succeeded) {
        status.ShowStatus(texts::kSucceeded);
    } else {
        if (!reason.empty()) status.ShowStatus(reason);
        status.ShowStatus(texts::kAborted);
    }
    return {outcome, std::move(reason), {}};
}

// The serial port among `names` the handheld greets on, named on the status
// line. The search asks whether to stop from every listening thread: the
// hint of a quiet spell is shown by one of them, once.
OpenedPort FindPort(const std::vector<std::string>& names, const TransferSetup& setup,
                    StatusSink& status, CancelSwitch& cancel) {
    const auto openSerial = [&setup](std::string_view name) {
        return OpenPort(PortChoice{PortChoice::Kind::serial, std::string(name)}, setup);
    };
    const auto quietUntil = std::chrono::steady_clock::now() + setup.quietGreeting;
    std::atomic<bool> hinted{false};
    FoundPort found = FindGreetingPort(names, openSerial, [&] {
        if (std::chrono::steady_clock::now() >= quietUntil && !hinted.exchange(true)) {
            status.ShowHint(texts::kQuietGreeting);
        }
        return cancel.Cancelled();
    });
    if (!found.port) return {nullptr, found.anyOpened ? "" : std::string(texts::kNoPortToSearch)};
    status.ShowStatus(texts::FoundOn(found.name));
    return {std::move(found.port), {}};
}

TransferEnd RunGuarded(const TransferRequest& request, const TransferSetup& setup,
                       StatusSink& status, CancelSwitch& cancel) {
    status.ShowStatus(texts::kWaiting);
    const bool automatic = request.port.kind == PortChoice::Kind::automatic;
    std::vector<std::string> searched;
    if (automatic) searched = setup.listSerialPorts();
    if (!searched.empty()) status.ShowHint(texts::ListeningOn(searched));
    OpenedPort opened =
        automatic ? FindPort(searched, setup, status, cancel) : OpenPort(request.port, setup);
    if (automatic && !opened.port && cancel.Cancelled()) {
        return Ended(TransferOutcome::cancelled, std::string(texts::kCancelled), status);
    }
    if (!opened.port) {
        const std::string text =
            automatic ? std::string(texts::kHandheldNotFound) + opened.reason
                      : texts::CannotOpenPort(request.port.kind == PortChoice::Kind::serial
                                                  ? request.port.name
                                                  : std::string(texts::kBuiltInHandheld),
                                              opened.reason);
        status.ShowStatus(text);
        return {TransferOutcome::portUnavailable, text, {}};
    }
    if (request.port.kind == PortChoice::Kind::serial) {
        status.ShowHint(texts::ListeningOn({request.port.name}));
    }
    Result result = Result::Ok();
    bool convertedFromUtf8 = false;
    {
        std::optional<TracedPort> traced;
        if (setup.traceFile) {
            traced.emplace(*opened.port, *setup.traceFile, setup.charsets.gbkToUtf8);
        }
        if (traced && !traced->Writing()) status.ShowStatus(texts::kCannotWriteTrace);
        Port& port = traced && traced->Writing() ? traced->Traced() : *opened.port;
        AttachedPort attached(cancel, port);
        result = RunOpened(request, setup, port, status, convertedFromUtf8);
    }
    opened.port.reset();  // restored and closed before the run's last text
    switch (result.GetKind()) {
        case Result::Kind::ok: {
            TransferEnd end = Ended(TransferOutcome::succeeded, {}, status);
            if (convertedFromUtf8) end.note = texts::kConvertedFromUtf8;
            return end;
        }
        case Result::Kind::cancelled:
            return Ended(TransferOutcome::cancelled, result.Reason(), status);
        case Result::Kind::refused:
        case Result::Kind::failed:
            break;
    }
    // A cancel that cut a step short may show as that step's failure.
    const TransferOutcome outcome =
        cancel.Cancelled() ? TransferOutcome::cancelled : TransferOutcome::failed;
    return Ended(outcome, result.Reason(), status);
}

}  // namespace

TransferEnd RunTransfer(const TransferRequest& request, const TransferSetup& setup,
                        StatusSink& status, CancelSwitch& cancel) noexcept {
    try {
        return RunGuarded(request, setup, status, cancel);
    } catch (...) {
        // Showing a text failed (the sink threw, or memory ran out): the port
        // is back by now, and the caller still learns the run failed.
        return {TransferOutcome::failed, {}, {}};
    }
}

}  // namespace kestrel
