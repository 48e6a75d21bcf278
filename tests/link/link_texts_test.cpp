#include "link/link_texts.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace kestrel {
namespace {

TEST(LinkTexts, AreTheGbkBytesOfTheirTexts) {
    EXPECT_EQ(texts::kSendError, test::Gbk("发送数据时出错"));
    EXPECT_EQ(texts::kReceiveError, test::Gbk("接收数据时出错"));
    EXPECT_EQ(texts::kBadResponse, test::Gbk("接收到错误的响应信号"));
    EXPECT_EQ(texts::kPortNoPermission, test::Gbk("没有访问权限"));
    EXPECT_EQ(texts::kPortBusy, test::Gbk("串口正被其他程序使用"));
    EXPECT_EQ(texts::kPortMissing, test::Gbk("没有这个串口"));
    EXPECT_EQ(texts::kPortUnsupported, test::Gbk("串口不支持所需的设置"));
}

}  // namespace
}  // namespace kestrel
