#pragma once
// The commands of kestrel-cli; each returns the process's exit status:
// 0 success, 1 failure, 2 usage error.

#include "app/cli/cli_options.h"

namespace kestrel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // Ctrl-C; a termination request gives 143

int RunSend(const SendCommand& command);
int RunReceive(const ReceiveCommand& command);
int RunPorts();
int RunSimulate(const SimulateCommand& command);

}  // namespace kestrel::cli
