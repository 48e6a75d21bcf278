// A port the user may not open says how to get access.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/open_port.h"
#include "tests/support/gbk.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

// Runs `check` in a child that has given up root and every group; its
// result is the child's exit status.
template <typename Check>
void ExpectAsNobody(Check check) {
    EXPECT_EXIT(
        {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
                _exit(2);
            }
            _exit(check() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

class PortPermission : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a device to a group";
        const group* dialout = ::getgrnam("dialout");
        if (dialout == nullptr) GTEST_SKIP() << "no dialout group here";
        ASSERT_EQ(::chmod(scratch.Path().c_str(), 0755), 0);
        WriteFileText(device, "");
        ASSERT_EQ(::chown(device.c_str(), 0, dialout->gr_gid), 0);
    }

    ScratchDir scratch;
    std::filesystem::path device = scratch / "ttyUSB0";
};

// A device only its group may open: joining that group is the way in. (A
// device the group may not open either gets the bare text, as the link's
// own tests show.)
TEST_F(PortPermission, NamesTheGroupThatWouldGiveAccess) {
    ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
    const std::string path = device.string();
    ExpectAsNobody([&] {
        return OpenSerialPort(path).reason == Gbk("没有访问权限(请把用户加入dialout组后重新登录)");
    });
}

}  // namespace
}  // namespace kestrel::test
