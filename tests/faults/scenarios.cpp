#include "tests/faults/scenarios.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/bytes.h"
#include "transfer/receive_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// 1500 bytes: a full chunk and a short one, so both kinds of Data packet
// and of chunk are in every run.
constexpr std::size_t kFileSize = 1500;
constexpr std::size_t kOpenFileIndex = 2;  // Start, Directory, OpenFile

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    return bytes;
}

// A time no run can give the file by writing it. Whole seconds: Windows keeps
// file times to 100 ns at best, and some of its calls to whole seconds.
const fs::file_time_type kFormerTime = std::chrono::floor<std::chrono::seconds>(
    fs::file_time_type::clock::now() - std::chrono::hours(240));

struct PackageEntrySpec {
    std::string path;  // directory/name on the handheld
    Bytes data;
};

const std::array<PackageEntrySpec, 3>& PackageEntries() {
    static const std::array<PackageEntrySpec, 3> kEntries = {{
        {"LAVA/one.lav", Pattern(100, 1)},
        {"LavaData/two.dat", Pattern(kFileSize, 2)},
        {"three.dat", Pattern(50, 3)},
    }};
    return kEntries;
}

Bytes PackageBytes() {
    Bytes package = FromText("PAC ");
    package.resize(16, 0);
    package.insert(package.end(), {static_cast<std::uint8_t>(PackageEntries().size()), 0});
    for (const auto& [path, data] : PackageEntries()) {
        const auto size = static_cast<std::uint32_t>(data.size());
        for (int shift = 0; shift < 32; shift += 8) {
            package.push_back(static_cast<std::uint8_t>(size >> shift));
        }
        Bytes field(60, 0);
        std::copy(path.begin(), path.end(), field.begin());
        package.insert(package.end(), field.begin(), field.end());
        package.insert(package.end(), data.begin(), data.end());
    }
    return package;
}

}  // namespace

Scenario SendScenario() {
    static constexpr std::array<std::size_t, 1> kSizes = {kFileSize};
    const Bytes content = Pattern(kFileSize, 7);
    return {"send", SendSteps(kSizes),
            [content](FaultRig& rig) {
                WriteFileBytes(rig.PcFile("a.dat"), content);
                return TransferRequest{rig.PortName(), TransferMode::down, rig.PcFile("a.dat"),
                                       "a.dat", "LAVA"};
            },
            [content](FaultRig& rig, bool succeeded, std::size_t) {
                EXPECT_EQ(ReadFileBytes(rig.PcFile("a.dat")), content)
                    << "a send changed its source";
                if (succeeded) {
                    EXPECT_EQ(ReadFileBytes(rig.DeviceFile("LAVA/a.dat")), content)
                        << "success reported for an incomplete device file";
                }
            }};
}

Scenario ReceiveScenario() {
    const Bytes content = Pattern(kFileSize, 9);
    const Bytes former = FromText("the user's former content");
    return {
        "receive", ReceiveSteps(kFileSize),
        [content, former](FaultRig& rig) {
            fs::create_directories(rig.DeviceFile("LAVA"));
            WriteFileBytes(rig.DeviceFile("LAVA/a.dat"), content);
            WriteFileBytes(rig.PcFile("x.dat"), former);
            fs::last_write_time(rig.PcFile("x.dat"), kFormerTime);
            return TransferRequest{rig.PortName(), TransferMode::up, rig.PcFile("x.dat"), "a.dat",
                                   "LAVA"};
        },
        [content, former](FaultRig& rig, bool succeeded, std::size_t firstUnanswered) {
            const fs::path user = rig.PcFile("x.dat");
            if (succeeded) {
                EXPECT_EQ(ReadFileBytes(user), content)
                    << "success reported for an incomplete PC file";
                return;
            }
            EXPECT_EQ(ReadFileBytes(user), former) << "a failed receive changed the user's file";
            EXPECT_EQ(fs::last_write_time(user), kFormerTime) << "the user's file was rewritten";
            if (firstUnanswered <= kOpenFileIndex) {
                EXPECT_FALSE(fs::exists(PartialPath(user)))
                    << "a PC file was made before the handheld accepted OpenFile";
            }
        }};
}

Scenario PackageScenario() {
    std::vector<std::size_t> sizes;
    for (const auto& entry : PackageEntries()) sizes.push_back(entry.data.size());
    const Bytes package = PackageBytes();
    return {"package", SendSteps(sizes),
            [package](FaultRig& rig) {
                WriteFileBytes(rig.PcFile("bundle.pac"), package);
                return TransferRequest{rig.PortName(), TransferMode::down, rig.PcFile("bundle.pac"),
                                       std::string(texts::kPackageName), "root"};
            },
            [package](FaultRig& rig, bool succeeded, std::size_t) {
                EXPECT_EQ(ReadFileBytes(rig.PcFile("bundle.pac")), package);
                if (!succeeded) return;
                for (const auto& [path, data] : PackageEntries()) {
                    EXPECT_EQ(ReadFileBytes(rig.DeviceFile(path)), data)
                        << path << ": success reported for an incomplete device file";
                }
            }};
}

}  // namespace kestrel::test
