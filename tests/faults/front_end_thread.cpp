#include "tests/faults/front_end_thread.h"

namespace kestrel::test {

FrontEndThread::FrontEndThread(std::size_t at, std::function<void()> action)
    : at_(at), action_(std::move(action)), thread_([this] { Run(); }) {}

FrontEndThread::~FrontEndThread() {
    {
        std::lock_guard lock(mutex_);
        leaving_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FrontEndThread::ShowStatus(std::string_view gbkText) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !handedOver_ || leaving_; });
    if (leaving_) return;
    handedOver_ = std::string(gbkText);
    changed_.notify_all();
    changed_.wait(lock, [this] { return !handedOver_ || leaving_; });
}

std::vector<std::string> FrontEndThread::Texts() const {
    std::lock_guard lock(mutex_);
    return taken_;
}

void FrontEndThread::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return handedOver_ || leaving_; });
        if (leaving_) return;
        taken_.push_back(*handedOver_);
        if (taken_.size() == at_ + 1) {
            lock.unlock();  // the worker stays in ShowStatus meanwhile
            action_();
            lock.lock();
        }
        handedOver_.reset();
        changed_.notify_all();
    }
}

}  // namespace kestrel::test
