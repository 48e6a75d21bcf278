#include "status/result.h"

#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {

Result::Result(Kind kind, std::string_view action, std::string_view subject, std::error_code error)
    : failure_([&] {
          Failure failure{kind, error, std::string(action), action.size(), 0, 0};
          if (!subject.empty()) {
              if (!action.empty()) failure.reason.push_back(' ');
              failure.subjectAt = failure.reason.size();
              failure.subjectSize = subject.size();
              failure.reason.append(subject);
          }
          if (error) failure.reason.append(texts::kNameSeparator).append(SystemWords(error));
          return std::make_unique<const Failure>(std::move(failure));
      }()) {}

const std::string& Result::Reason() const noexcept {
    static const std::string kNone;
    return failure_ ? failure_->reason : kNone;
}

Result Result::About(std::string_view subject) && {
    if (!failure_ || failure_->subjectSize > 0 || subject.empty()) return std::move(*this);
    return Result(failure_->kind, Action(), subject, failure_->error);
}

std::string_view Result::Part(std::size_t at, std::size_t size) const noexcept {
    if (!failure_) return {};
    return std::string_view(failure_->reason).substr(at, size);
}

namespace detail {
Result OkWithoutValue() {
    return Result::Failed(texts::kUnexpectedError);
}
}  // namespace detail

}  // namespace kestrel
