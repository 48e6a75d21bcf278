#include "tests/faults/fault_matrix.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "tests/support/frames.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

using T = PacketType;
constexpr FaultKind kKinds[] = {FaultKind::refuse,          FaultKind::wrongReply,
                                FaultKind::corruptChecksum, FaultKind::noiseBeforeEnq,
                                FaultKind::goSilent,        FaultKind::hangUp};

// The rule. Most faults end the run at their packet, except where the PC has
// a way round them: a refused ReadRequest is asked again; a reply byte to an
// empty packet is harmless where the PC reads the closing byte (ignored) or
// a Start follows (bytes before its 0x05 are skipped); noise before a Start
// is skipped the same way; a spoiled checksum only matters to a chunk still
// to come; and only the closing byte may go missing.
bool Succeeds(FaultKind kind, std::size_t at, const std::vector<T>& steps) {
    const T type = steps[at];
    const bool strayIgnored =
        type == T::EndSession || (type == T::EndOfFile && steps[at + 1] == T::Start);
    switch (kind) {
        case FaultKind::refuse:
            return type == T::ReadRequest || strayIgnored;
        case FaultKind::wrongReply:
            return strayIgnored;
        case FaultKind::corruptChecksum:
            return std::find(steps.begin() + static_cast<std::ptrdiff_t>(at), steps.end(),
                             T::ReadRequest) == steps.end();
        case FaultKind::noiseBeforeEnq:
            return type == T::Start;
        case FaultKind::goSilent:
        case FaultKind::hangUp:
            return type == T::EndSession;
    }
    return false;
}

// 1500 bytes: a full chunk and a short one in every file of 1500.
std::vector<T> FileSteps(std::size_t size) {
    std::vector<T> steps = {T::Start, T::Directory, T::NewFile};
    for (std::size_t sent = 0; sent < size; sent += 1024) steps.push_back(T::Data);
    steps.push_back(T::EndOfFile);
    return steps;
}

Scenario ReceiveScenario() {
    return {"receive",
            {T::Start, T::Directory, T::OpenFile, T::ReadRequest, T::ReadRequest, T::EndOfFile,
             T::EndSession},
            [](HandheldRig& rig) {
                std::filesystem::create_directories(rig.Root() / "LAVA");
                WriteFileBytes(rig.Root() / "LAVA" / "a.dat", Pattern(1500, 9));
                WriteFileText(rig.Pc("x.dat"), "former");
                return OneFile(TransferKind::receive, rig.Pc("x.dat"), "LAVA", "a.dat");
            },
            [](HandheldRig& rig, bool succeeded) {
                EXPECT_EQ(ReadFileBytes(rig.Pc("x.dat")),
                          succeeded ? Pattern(1500, 9) : FromText("former"));
            }};
}

const std::vector<PackageEntrySpec> kEntries = {{"LAVA/one.lav", Pattern(100, 1)},
                                                {"LavaData/two.dat", Pattern(1500, 2)},
                                                {"three.dat", Pattern(50, 3)}};

Scenario PackageScenario() {
    std::vector<T> steps;
    for (const auto& entry : kEntries) {
        for (const T step : FileSteps(entry.data.size())) steps.push_back(step);
    }
    steps.push_back(T::EndSession);
    return {"package", steps,
            [](HandheldRig& rig) {
                WriteFileBytes(rig.Pc("p.pac"), PackageFile("03 00", kEntries));
                return OneFile(TransferKind::sendPackage, rig.Pc("p.pac"), "*", "p");
            },
            [](HandheldRig& rig, bool succeeded) {
                for (const auto& entry : kEntries) {
                    EXPECT_TRUE(!succeeded || ReadFileBytes(rig.Root() / entry.path) == entry.data)
                        << entry.path;
                }
            }};
}

}  // namespace

Scenario SendScenario() {
    std::vector<T> steps = FileSteps(1500);
    steps.push_back(T::EndSession);
    return {"send", steps,
            [](HandheldRig& rig) {
                WriteFileBytes(rig.Pc("a.dat"), Pattern(1500, 7));
                return OneFile(TransferKind::send, rig.Pc("a.dat"), "LAVA", "a.dat");
            },
            [](HandheldRig& rig, bool succeeded) {
                EXPECT_EQ(ReadFileBytes(rig.Pc("a.dat")), Pattern(1500, 7));
                EXPECT_TRUE(!succeeded ||
                            ReadFileBytes(rig.Root() / "LAVA" / "a.dat") == Pattern(1500, 7));
            }};
}

void RunMatrix(const Scenario& scenario, const char* line,
               const std::function<HandheldLine()>& makeLine,
               const std::function<void(FaultKind)>& afterRun) {
    std::ostringstream table;
    table << "fault matrix: " << scenario.name << " over " << line << "\n"
          << std::left << std::setw(16) << "packet";
    for (const FaultKind kind : kKinds) table << std::setw(16) << FaultKindName(kind);
    for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
        table << "\n"
              << std::setw(3) << at << std::setw(13)
              << PacketTypeName(static_cast<std::uint8_t>(scenario.steps[at]));
        for (const FaultKind kind : kKinds) {
            SCOPED_TRACE(testing::Message()
                         << scenario.name << ": " << FaultKindName(kind) << " at " << at);
            HandheldOptions options;
            options.faults = {{kind, at}};
            HandheldRig rig(std::move(options), makeLine());
            const Result end = rig.Run(scenario.prepare(rig));
            const bool succeeded = end.IsOk();
            const bool expected = Succeeds(kind, at, scenario.steps);
            EXPECT_EQ(succeeded, expected);
            EXPECT_NE(end.GetKind(), Result::Kind::cancelled);
            EXPECT_EQ(rig.status.Texts().back(), succeeded ? texts::kSucceeded : texts::kAborted);
            // The handheld counted the packets as the steps list them, up to the fault's.
            const HandheldRecord trace = rig.GetRecord();
            EXPECT_GE(trace.packets.size(), kind == FaultKind::noiseBeforeEnq ? at : at + 1);
            for (std::size_t i = 0; i < std::min(at, trace.packets.size()); ++i) {
                EXPECT_EQ(trace.packets[i].type, static_cast<std::uint8_t>(scenario.steps[i])) << i;
            }
            scenario.check(rig, succeeded);
            if (afterRun) afterRun(kind);
            table << std::setw(16)
                  << (std::string(succeeded ? "ok" : "abort") +
                      (succeeded != expected ? " (!)" : ""));
        }
    }
    table << "\n";
    std::cout << table.str() << std::flush;
    std::ofstream(std::string("fault-matrix-") + scenario.name + "-" + line + ".txt")
        << table.str();
}

TEST(FaultMatrix, InMemory) {
    for (const Scenario& scenario : {SendScenario(), ReceiveScenario(), PackageScenario()}) {
        RunMatrix(scenario, "memory", MemoryLine);
    }
}

}  // namespace kestrel::test
