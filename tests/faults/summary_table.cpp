#include "tests/faults/summary_table.h"

#include <array>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace kestrel::test {
namespace {

constexpr int kColumn = 16;

}  // namespace

SummaryTable::SummaryTable(std::string name, std::span<const PacketStep> steps)
    : name_(std::move(name)), steps_(steps) {}

void SummaryTable::Add(FaultKind kind, std::size_t at, bool succeeded, bool expected,
                       std::chrono::milliseconds took) {
    std::string cell = succeeded ? "success" : "aborted";
    if (succeeded != expected) {
        cell += expected ? " (!want success)" : " (!want abort)";
        ++unexpected_;
    }
    cells_[{at, kind}] = cell;
    ++runs_;
    slowest_ = std::max(slowest_, took);
}

void SummaryTable::Publish() const {
    std::ostringstream out;
    out << "fault matrix: " << name_ << "\n" << std::left << std::setw(18) << "packet";
    for (const FaultKind kind : kAllFaultKinds) out << std::setw(kColumn) << FaultKindName(kind);
    out << "\n";
    for (std::size_t at = 0; at < steps_.size(); ++at) {
        std::ostringstream label;
        label << std::right << std::setw(2) << at << " "
              << PacketTypeName(static_cast<std::uint8_t>(steps_[at].type));
        out << std::left << std::setw(18) << label.str();
        for (const FaultKind kind : kAllFaultKinds) {
            const auto cell = cells_.find({at, kind});
            out << std::setw(kColumn) << (cell == cells_.end() ? "-" : cell->second);
        }
        out << "\n";
    }
    out << runs_ << " runs, " << unexpected_ << " unexpected, slowest " << slowest_.count()
        << " ms\n";
    const std::string text = out.str();
    std::cout << text << std::flush;
    std::ofstream("fault-matrix-" + name_ + ".txt") << text;
}

}  // namespace kestrel::test
