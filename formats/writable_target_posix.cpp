// POSIX part of writable_target.h.
#include <fcntl.h>
#include <unistd.h>

#include "formats/writable_target.h"
#include "status/retry_posix.h"
#include "status/system_words.h"

namespace kestrel {

std::error_code WhyNotWritable(const std::filesystem::path& file) {
    const int fd = RetryOnInterrupt(
        [&] { return ::open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY); });
    if (fd < 0) return LastSystemError();
    ::close(fd);
    return {};
}

}  // namespace kestrel
