// The virtual handheld behind a port, as the dialog opens it.
#include "device/builtin_port.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/device/scripted_pc.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// Marks every name it maps, so a test can see the mapper was used.
std::optional<fs::path> MarkedName(std::string_view deviceText) {
    return fs::path("disk-" + std::string(deviceText));
}

TEST(BuiltInHandheld, ServesSessionAfterSessionIntoItsFolderThroughTheMapper) {
    ScratchDir scratch;
    const fs::path root = scratch / "new" / "handheld";
    auto port = OpenBuiltInHandheld(root, MarkedName);
    ASSERT_NE(port, nullptr);
    ScriptedPc pc(*port);
    const Bytes content = Pattern(2500);
    ASSERT_TRUE(pc.Open());
    ASSERT_TRUE(pc.SendFile("LAVA", "a.lav", content));
    ASSERT_TRUE(pc.Close());
    EXPECT_EQ(ReadFileBytes(root / "disk-LAVA" / "disk-a.lav"), content);

    // The same port, a second session: the handheld greets again.
    ASSERT_TRUE(pc.Open());
    EXPECT_EQ(pc.FetchFile("LAVA", "a.lav"), content);
    ASSERT_TRUE(pc.Close());
}

TEST(BuiltInHandheld, ClosingThePortEndsTheHandheldWhereverItStands) {
    ScratchDir scratch;
    // Still greeting: nobody has answered.
    OpenBuiltInHandheld(scratch / "greeting", KeepBytes).reset();

    // Mid-session, waiting for the PC's next packet.
    auto port = OpenBuiltInHandheld(scratch / "session", KeepBytes);
    ASSERT_NE(port, nullptr);
    ScriptedPc pc(*port);
    ASSERT_TRUE(pc.Open());
    ASSERT_EQ(pc.Packet(0x02, DirectoryPayload("LAVA")), 0x4F);
    port.reset();  // returns only once the handheld's thread has ended
    EXPECT_TRUE(fs::is_directory(scratch / "session"));
}

TEST(BuiltInHandheld, IsNotOpenedWhenItsFolderCannotBeMade) {
    ScratchDir scratch;
    WriteFileText(scratch / "taken", "a file where the folder should be");
    EXPECT_EQ(OpenBuiltInHandheld(scratch / "taken", KeepBytes), nullptr);
    EXPECT_EQ(OpenBuiltInHandheld(scratch / "taken" / "below", KeepBytes), nullptr);
}

}  // namespace
}  // namespace kestrel::test
