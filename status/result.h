#pragma once
// How a step ended: the one failure shape of every layer. Result is success
// or a failure; ResultOf<T> is a value or a failure.
//
// Promises:
// - Success costs nothing: Result::Ok() allocates nothing and builds no
//   text; a Result is one pointer wide, and moving it moves that pointer.
// - A failure carries its kind, what was being done (GBK: a text of the
//   table, or a reason built from them, kept whole and first), the file or
//   port it concerns (GBK, as the user reads its name; may be empty) and the
//   OS's own error (errno, or GetLastError on Windows; may be empty).
//   Reason() is the status line's text, built once when the failure is
//   made: "无法打开文件 notes.txt：" and the OS's words in the user's
//   language, as GBK.
// - refused: the handheld answered 'X'; only a ReadRequest takes that as a
//   reason to ask again, everywhere else it ends the run like a failure.
// - timedOut: no byte came within the silence bound; a listener (the port
//   search, the handheld's greeting) listens again, a run ends like a failure.
// - cancelled: the run was stopped from another thread.
// - About() names the file of a failure found by code that had no name to
//   give (a pure conversion, say), once its caller knows it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace kestrel {

class [[nodiscard]] Result {
  public:
    enum class Kind : std::uint8_t { ok, refused, failed, cancelled, timedOut };

    static Result Ok() noexcept { return Result(); }
    static Result Failed(std::string_view action, std::string_view subject = {},
                         std::error_code error = {}) {
        return Result(Kind::failed, action, subject, error);
    }
    static Result Refused(std::string_view action, std::string_view subject = {},
                          std::error_code error = {}) {
        return Result(Kind::refused, action, subject, error);
    }
    static Result Cancelled(std::string_view action, std::string_view subject = {},
                            std::error_code error = {}) {
        return Result(Kind::cancelled, action, subject, error);
    }
    static Result TimedOut(std::string_view action, std::string_view subject = {}) {
        return Result(Kind::timedOut, action, subject, {});
    }

    Result(const Result& other)
        : failure_(other.failure_ ? std::make_unique<const Failure>(*other.failure_) : nullptr) {}
    Result& operator=(const Result& other) {
        if (this != &other) *this = Result(other);
        return *this;
    }
    Result(Result&&) noexcept = default;
    Result& operator=(Result&&) noexcept = default;
    ~Result() = default;

    bool IsOk() const noexcept { return !failure_; }
    Kind GetKind() const noexcept { return failure_ ? failure_->kind : Kind::ok; }
    // Each empty when ok, or when the failure has none.
    std::string_view Action() const noexcept {
        return Part(0, failure_ ? failure_->actionSize : 0);
    }
    std::string_view Subject() const noexcept {
        return failure_ ? Part(failure_->subjectAt, failure_->subjectSize) : std::string_view();
    }
    std::error_code Error() const noexcept {
        return failure_ ? failure_->error : std::error_code();
    }
    const std::string& Reason() const noexcept;

    // This failure about `subject`, when it names none yet; anything else as it is.
    Result About(std::string_view subject) &&;

  private:
    struct Failure {
        Kind kind;
        std::error_code error;
        std::string reason;  // the action, then the subject and the OS's words
        std::size_t actionSize;
        std::size_t subjectAt;
        std::size_t subjectSize;
    };

    Result() noexcept = default;
    Result(Kind kind, std::string_view action, std::string_view subject, std::error_code error);
    std::string_view Part(std::size_t at, std::size_t size) const noexcept;

    std::unique_ptr<const Failure> failure_;  // null when ok
};

namespace detail {
Result OkWithoutValue();  // "程序内部出错"
}

template <typename T>
class [[nodiscard]] ResultOf {
  public:
    ResultOf(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    // A failure. An ok Result here is the caller's fault; it becomes a
    // failure, never a value that is not there.
    ResultOf(Result failure)  // NOLINT(google-explicit-constructor)
        : failure_(failure.IsOk() ? detail::OkWithoutValue() : std::move(failure)) {}

    bool IsOk() const noexcept { return value_.has_value(); }
    Result::Kind GetKind() const noexcept { return failure_.GetKind(); }
    const std::string& Reason() const noexcept { return failure_.Reason(); }
    // The failure, to hand on; Result::Ok() when there is a value.
    const Result& Failure() const& noexcept { return failure_; }
    Result Failure() && noexcept { return std::move(failure_); }

    // Only when IsOk().
    T& Value() & { return *value_; }
    const T& Value() const& { return *value_; }
    T&& Value() && { return std::move(*value_); }

  private:
    std::optional<T> value_;
    Result failure_ = Result::Ok();
};

}  // namespace kestrel
