#pragma once
// The one place where a user's command becomes a transfer. RunTransfer opens
// the port, runs the send, receive or package operation, and always puts the
// port back as it found it; TransferWorker runs it on a thread of its own.
//
// A run reports through its status sink only. It ends in one of four ways
// (see TransferOutcome); a failed run's last text is "终止传输". Cancel()
// may come from any thread: the run stops at its next port operation, or at
// once if it is waiting on the port, and still restores and closes the port.

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "link/open_port.h"
#include "link/serial_link.h"
#include "link/status_sink.h"
#include "transfer/transfer_request.h"

namespace kestrel {

class SubstitutionTable;

enum class TransferOutcome {
    succeeded,        // "传输成功。" was shown
    failed,           // the run ended without success
    cancelled,        // stopped by Cancel()
    portUnavailable,  // the port could not be opened; nothing was exchanged
};

using PortOpener = std::function<OpenedPort(std::string_view portName)>;

// What a front end provides for every run.
struct TransferSetup {
    PortOpener openPort = OpenSerialPort;
    const SubstitutionTable* table = nullptr;            // null: "bin" files cannot be sent
    std::filesystem::path missingTableName;              // named in the text when table is null
    std::optional<std::filesystem::path> tempDirectory;  // unset: the user's private one
    std::chrono::milliseconds silenceBound = kDefaultSilenceBound;
};

// Lets another thread stop a run.
class CancelSwitch {
  public:
    void Cancel();
    bool Cancelled() const;

    // The run's port while it is open; cancelling reaches it at once.
    void Attach(Port* port);

  private:
    mutable std::mutex mutex_;
    Port* port_ = nullptr;
    bool cancelled_ = false;
};

TransferOutcome RunTransfer(TransferRequest request, const TransferSetup& setup, StatusSink& status,
                            CancelSwitch& cancel);

class TransferWorker {
  public:
    TransferWorker(TransferRequest request, TransferSetup setup, StatusSink& status);
    ~TransferWorker();  // cancels a run still going and waits for it
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    void Cancel() { cancel_.Cancel(); }
    TransferOutcome Wait();  // the run's outcome once it has ended

  private:
    TransferSetup setup_;
    CancelSwitch cancel_;
    TransferOutcome outcome_ = TransferOutcome::failed;
    std::thread thread_;
};

}  // namespace kestrel
