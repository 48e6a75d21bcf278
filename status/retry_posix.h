#pragma once
// POSIX only: a system call that a signal interrupted (EINTR) is made again,
// for the layers that make them (ports, PC files). Not for close(): on Linux
// an interrupted close has closed the descriptor already.

#include <cerrno>

namespace kestrel {

template <typename Call>
auto RetryOnInterrupt(Call call) {
    decltype(call()) result{};
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace kestrel
