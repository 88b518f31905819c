#pragma once
// How an operation that can fail says so, in every layer: the value, or the
// reason in German as the user reads it. Nothing here throws; asking a
// failure for its value (or a success for its reason) is a programming error.

#include <string>
#include <utility>
#include <variant>

namespace akkusim {

struct Failure {
  std::string reason;  // German, ready to show or print
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit on purpose
  Result(Failure failure) : state_(std::move(failure)) {}  // NOLINT: implicit on purpose

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return *std::get_if<T>(&state_); }
  T& value() & { return *std::get_if<T>(&state_); }
  T&& value() && { return std::move(*std::get_if<T>(&state_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return std::get_if<T>(&state_); }
  T* operator->() { return std::get_if<T>(&state_); }

  const std::string& reason() const { return std::get_if<Failure>(&state_)->reason; }

 private:
  std::variant<T, Failure> state_;
};

// A result that carries nothing on success.
struct Done {};
using Status = Result<Done>;
inline Status succeeded() {
  return Done{};
}

}  // namespace akkusim
