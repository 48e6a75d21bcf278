#include "app/core/transfer_thread.h"

#include <utility>

namespace kestrel {

TransferThread::TransferThread(TransferRequest request, TransferSetup setup, StatusSink& status,
                               Finished finished, std::shared_ptr<CancelSwitch> cancel)
    : cancel_(std::move(cancel)),
      thread_([this, request = std::move(request), setup = std::move(setup), &status,
               finished = std::move(finished)] {
          end_ = RunTransfer(request, setup, status, *cancel_);
          try {
              if (finished) finished(end_);
          } catch (...) {
              // The run is over and its port is back; nothing is left to spoil.
          }
      }) {}

TransferThread::~TransferThread() {
    cancel_->Cancel();
    if (thread_.joinable()) thread_.join();
}

Result TransferThread::Wait() {
    if (thread_.joinable()) thread_.join();
    return end_;
}

}  // namespace kestrel
