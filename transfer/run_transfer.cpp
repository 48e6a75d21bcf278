#include "transfer/run_transfer.h"

#include <exception>
#include <new>

#include "formats/format_texts.h"
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

Result SendFilesInOneSession(TransferRun& run, const std::vector<TransferFile>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SessionFlags flags{i == 0, i + 1 == files.size()};
        if (Result sent = SendSession(run, files[i], flags); !sent.IsOk()) return sent;
    }
    return Result::Ok();
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
    return SendFilesInOneSession(run, request.files);
}

// Everything between opening and closing the port; whatever escapes is a
// failure of the run like any other.
Result RunOpened(const TransferRequest& request, const TransferSetup& setup, Port& port,
                 StatusSink& status) {
    try {
        TransferRun run(port, status,
                        FormatContext{setup.table ? &*setup.table : nullptr,
                                      setup.missingTableName, setup.tempDirectory, {}});
        run.link.silenceBound = setup.silenceBound;
        return RunOperation(request, run);
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
    return {outcome, std::move(reason)};
}

TransferEnd RunGuarded(const TransferRequest& request, const TransferSetup& setup,
                       StatusSink& status, CancelSwitch& cancel) {
    status.ShowStatus(texts::kWaiting);
    const std::string portName = request.port.kind == PortChoice::Kind::serial
                                     ? request.port.name
                                     : std::string(texts::kBuiltInHandheld);
    OpenedPort opened = OpenPort(request.port, setup);
    if (!opened.port) {
        const std::string text = texts::CannotOpenPort(portName, opened.reason);
        status.ShowStatus(text);
        return {TransferOutcome::portUnavailable, text};
    }
    Result result = Result::Ok();
    {
        AttachedPort attached(cancel, *opened.port);
        result = RunOpened(request, setup, *opened.port, status);
    }
    opened.port.reset();  // restored and closed before the run's last text
    switch (result.GetKind()) {
        case Result::Kind::ok:
            return Ended(TransferOutcome::succeeded, {}, status);
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
        return {TransferOutcome::failed, {}};
    }
}

}  // namespace kestrel
