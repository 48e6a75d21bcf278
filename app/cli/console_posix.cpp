#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/cli/console.h"

namespace kestrel::cli {
namespace {

// The C locale's codeset cannot show Chinese; the terminal behind it is all
// but always UTF-8, so that is what it gets.
const char* TerminalCodeset() {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(codeset, "US-ASCII") == 0) {
        return "UTF-8";
    }
    return codeset;
}

std::string FromGbkForTerminal(std::string_view gbk) {
    iconv_t cd = iconv_open(TerminalCodeset(), "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(gbk);
    std::string in(gbk);
    std::string out;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += '?';  // a byte that is not GBK, or a character the terminal lacks
            ++inPtr;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

void PrintLine(std::FILE* stream, std::string_view gbkText) {
    const std::string text = FromGbkForTerminal(gbkText);
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace

void PrintGbkLine(std::string_view gbkText) {
    PrintLine(stdout, gbkText);
}

void PrintGbkErrorLine(std::string_view gbkText) {
    PrintLine(stderr, gbkText);
}

bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

void PrintText(std::string_view utf8Text) {
    std::fwrite(utf8Text.data(), 1, utf8Text.size(), stdout);
    std::fflush(stdout);
}

void KeepRunningWhenOutputCloses() {
    // A write to the closed pipe then fails with EPIPE, which printing ignores.
    ::signal(SIGPIPE, SIG_IGN);
}

void UseTheUsersLocale() {
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");  // strerror's language; numbers stay as C writes them
}

std::optional<std::vector<std::string>> CommandLineWords(int argc, char** argv) {
    if (argc < 1) return std::vector<std::string>();
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrintError(std::string_view utf8Message) {
    std::fprintf(stderr, "kestrel-cli: %.*s\n", static_cast<int>(utf8Message.size()),
                 utf8Message.data());
}

}  // namespace kestrel::cli
