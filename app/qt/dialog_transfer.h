#pragma once
// One transfer at a time on a thread of its own, for the dialog: started
// from the dialog's thread, reporting through the status sink, and telling
// the dialog's thread when it has ended (Finished, delivered through the
// dialog's event loop, after the thread has been joined).
//
// Promises:
// - Running() is true from Start() until just before Finished is emitted.
// - The substitution table is looked for at every Start(), so a table put in
//   place while the dialog is open is used by the next run.
// - The destructor cancels a run still going and waits for it; the caller
//   must make sure the status sink no longer blocks by then (see
//   dialog_status.h).

#include <QObject>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "formats/substitution_table.h"
#include "link/status_sink.h"
#include "transfer/transfer_worker.h"

namespace kestrel {

class DialogTransfer : public QObject {
    Q_OBJECT

  public:
    explicit DialogTransfer(QObject* parent = nullptr) : QObject(parent) {}
    ~DialogTransfer() override;
    DialogTransfer(const DialogTransfer&) = delete;
    DialogTransfer& operator=(const DialogTransfer&) = delete;

    // Does nothing while a run is going.
    void Start(TransferRequest request, TransferSetup setup,
               const std::vector<std::filesystem::path>& tableFolders, StatusSink& status);
    void Cancel();
    bool Running() const { return thread_.joinable(); }

  signals:
    void Finished(kestrel::TransferOutcome outcome);

  private:
    void Ended(TransferOutcome outcome);

    TableLoad table_;
    std::unique_ptr<CancelSwitch> cancel_;
    std::thread thread_;
};

}  // namespace kestrel
