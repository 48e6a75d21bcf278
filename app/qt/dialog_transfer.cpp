#include "app/qt/dialog_transfer.h"

#include <QMetaObject>
#include <exception>
#include <utility>

#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

// The thread's whole life: an escaping exception would end the program.
TransferOutcome RunGuarded(TransferRequest request, const TransferSetup& setup, StatusSink& status,
                           CancelSwitch& cancel) {
    try {
        return RunTransfer(std::move(request), setup, status, cancel);
    } catch (const std::exception&) {
        status.ShowStatus(texts::kAborted);
        return TransferOutcome::failed;
    }
}

}  // namespace

DialogTransfer::~DialogTransfer() {
    if (!thread_.joinable()) return;
    cancel_->Cancel();
    thread_.join();
}

void DialogTransfer::Start(TransferRequest request, TransferSetup setup,
                           const std::vector<std::filesystem::path>& tableFolders,
                           StatusSink& status) {
    if (Running()) return;
    table_ = FindSubstitutionTable(tableFolders);
    setup.table = table_.table ? &*table_.table : nullptr;
    if (!table_.table) setup.missingTableName = table_.file;
    cancel_ = std::make_unique<CancelSwitch>();
    thread_ = std::thread([this, request = std::move(request), setup = std::move(setup), &status,
                           &cancel = *cancel_]() mutable {
        const TransferOutcome outcome = RunGuarded(std::move(request), setup, status, cancel);
        QMetaObject::invokeMethod(
            this, [this, outcome] { Ended(outcome); }, Qt::QueuedConnection);
    });
}

void DialogTransfer::Cancel() {
    if (Running()) cancel_->Cancel();
}

void DialogTransfer::Ended(TransferOutcome outcome) {
    thread_.join();
    emit Finished(outcome);
}

}  // namespace kestrel
