#pragma once
// How a step of a transfer ended: the one result that link operations,
// conversions, sessions and package sending return, success included.
//
// Promises:
// - A result that is not ok always carries the reason, as the GBK status
//   text a user should see; nothing else reports a failure.
// - refused: the handheld answered 'X'; only a ReadRequest takes that as a
//   reason to ask again, everywhere else it ends the run like a failure.
// - cancelled: the run was stopped from another thread.

#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

class [[nodiscard]] Result {
  public:
    enum class Kind { ok, refused, failed, cancelled };

    static Result Ok() { return Result(Kind::ok, {}); }
    static Result Failed(std::string_view reason) { return Result(Kind::failed, reason); }
    static Result Refused(std::string_view reason) { return Result(Kind::refused, reason); }
    static Result Cancelled(std::string_view reason) { return Result(Kind::cancelled, reason); }

    bool IsOk() const { return kind_ == Kind::ok; }
    Kind GetKind() const { return kind_; }
    const std::string& Reason() const { return reason_; }

  private:
    Result(Kind kind, std::string_view reason) : kind_(kind), reason_(reason) {}

    Kind kind_;
    std::string reason_;  // GBK; empty when ok
};

}  // namespace kestrel
