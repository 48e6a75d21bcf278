#include "transfer/transfer_worker.h"

#include "link/protocol.h"
#include "transfer/package_sending.h"
#include "transfer/receive_session.h"
#include "transfer/send_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel {

void CancelSwitch::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (port_ != nullptr) port_->Cancel();
}

bool CancelSwitch::Cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void CancelSwitch::Attach(Port* port) {
    std::lock_guard lock(mutex_);
    port_ = port;
    if (port_ != nullptr && cancelled_) port_->Cancel();
}

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

void RunOperation(TransferRun& run) {
    TransferRequest& request = run.request;
    if (request.mode == TransferMode::up) {
        if (ReceiveSession(run, request.deviceName, request.deviceDirectory, request.pcPath) !=
            LinkResult::ok) {
            AbortTransfer();
        }
    } else if (request.deviceName == texts::kPackageName) {
        SendPackage(run);
    } else if (SendSession(run, request.deviceName, request.deviceDirectory, request.pcPath) !=
               LinkResult::ok) {
        AbortTransfer();
    }
}

}  // namespace

TransferOutcome RunTransfer(TransferRequest request, const TransferSetup& setup, StatusSink& status,
                            CancelSwitch& cancel) {
    status.ShowStatus(texts::kWaiting);
    OpenedPort opened = setup.openPort(request.portName);
    if (!opened.port) {
        status.ShowStatus(texts::CannotOpenPort(request.portName, opened.reason));
        return TransferOutcome::portUnavailable;
    }
    // The port is restored and closed when `opened` goes, on every path.
    AttachedPort attached(cancel, *opened.port);
    if (request.deviceDirectory == "root") request.deviceDirectory.clear();

    TransferRun run(
        std::move(request), *opened.port, status,
        FormatContext{status, setup.table, setup.missingTableName, setup.tempDirectory});
    run.link.silenceBound = setup.silenceBound;
    try {
        RunOperation(run);
    } catch (const TransferCancelled&) {
        status.ShowStatus(texts::kAborted);
        return TransferOutcome::cancelled;
    } catch (const TransferAborted&) {
        status.ShowStatus(texts::kAborted);
        return cancel.Cancelled() ? TransferOutcome::cancelled : TransferOutcome::failed;
    }
    return run.succeeded ? TransferOutcome::succeeded : TransferOutcome::failed;
}

TransferWorker::TransferWorker(TransferRequest request, TransferSetup setup, StatusSink& status)
    : setup_(std::move(setup)) {
    thread_ = std::thread([this, request = std::move(request), &status]() mutable {
        outcome_ = RunTransfer(std::move(request), setup_, status, cancel_);
    });
}

TransferWorker::~TransferWorker() {
    if (thread_.joinable()) {
        cancel_.Cancel();
        thread_.join();
    }
}

TransferOutcome TransferWorker::Wait() {
    if (thread_.joinable()) thread_.join();
    return outcome_;
}

}  // namespace kestrel
