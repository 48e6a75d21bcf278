#pragma once
// The fault matrix's account of itself: for each packet of a run and each
// fault kind, the outcome the run reached, marked where it differs from the
// outcome expected. Printed to standard output and to a file in the working
// folder (fault-matrix-NAME.txt), so a test command can show it.

#include <chrono>
#include <map>
#include <span>
#include <string>
#include <utility>

#include "tests/faults/packet_steps.h"

namespace kestrel::test {

class SummaryTable {
  public:
    SummaryTable(std::string name, std::span<const PacketStep> steps);

    void Add(FaultKind kind, std::size_t at, bool succeeded, bool expected,
             std::chrono::milliseconds took);
    // Prints the table and writes it to fault-matrix-<name>.txt.
    void Publish() const;

  private:
    std::string name_;
    std::span<const PacketStep> steps_;
    std::map<std::pair<std::size_t, FaultKind>, std::string> cells_;
    std::size_t runs_ = 0;
    std::size_t unexpected_ = 0;
    std::chrono::milliseconds slowest_{};
};

}  // namespace kestrel::test
