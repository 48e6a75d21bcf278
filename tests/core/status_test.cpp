// Failures as the status line shows them: the action whole and first, the
// file or port it concerns, the OS's words (present, in GBK, whatever they
// say), and a value or a failure handed on.
#include <gtest/gtest.h>

#include <string>
#include <system_error>

#include "status/result.h"
#include "status/shown_name.h"
#include "tests/support/gbk.h"
#include "text/gbk.h"

namespace kestrel::test {
namespace {

using Kind = Result::Kind;

// An error whose message is not text: its words cannot be shown.
class GarbledCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "garbled"; }
    std::string message(int /*code*/) const override { return "\xFF\xFE"; }
};

TEST(Status, FailuresSayWhatWhereAndWhy) {
    const GarbledCategory garbled;
    // 5 is an error of every OS: EIO on POSIX, ERROR_ACCESS_DENIED on Windows.
    const std::error_code osError(5, std::system_category());
    const struct {
        const char* name;
        Result result;
        std::string reason;  // whole, or the start when the OS's words follow
        Kind kind;
        bool osWords;
    } rows[] = {
        {"exact text kept whole", Result::Failed(Gbk("接收数据时出错")), Gbk("接收数据时出错"),
         Kind::failed, false},
        {"file named", Result::Failed(Gbk("无法写入文件"), "notes.txt"),
         Gbk("无法写入文件 notes.txt"), Kind::failed, false},
        {"file and the OS's reason", Result::Failed(Gbk("无法打开文件"), "notes.txt", osError),
         Gbk("无法打开文件 notes.txt："), Kind::failed, true},
        {"port and the OS's reason", Result::Refused(Gbk("无法打开串口"), "COM3", osError),
         Gbk("无法打开串口 COM3："), Kind::refused, true},
        {"the OS's reason alone", Result::Cancelled(Gbk("已取消"), {}, osError), Gbk("已取消："),
         Kind::cancelled, true},
        {"named by its caller", Result::Failed(Gbk("文本文件为空")).About("a.txt"),
         Gbk("文本文件为空 a.txt"), Kind::failed, false},
        {"a name once given stays", Result::Failed(Gbk("无法写入文件"), "x").About("y"),
         Gbk("无法写入文件 x"), Kind::failed, false},
        {"the handheld silent", Result::TimedOut(Gbk("文曲星没有应答"), "COM3"),
         Gbk("文曲星没有应答 COM3"), Kind::timedOut, false},
        {"words that are not text give the number",
         Result::Failed(Gbk("系统出错"), {}, std::error_code(4242, garbled)),
         Gbk("系统出错：系统错误代码 4242"), Kind::failed, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(row.result.IsOk());
        EXPECT_EQ(row.result.GetKind(), row.kind);
        const std::string& reason = row.result.Reason();
        if (!row.osWords) {
            EXPECT_EQ(reason, row.reason);
            continue;
        }
        ASSERT_EQ(reason.substr(0, row.reason.size()), row.reason);
        const std::string words = reason.substr(row.reason.size());
        EXPECT_FALSE(words.empty());
        EXPECT_EQ(words.find(Gbk("系统错误代码")), std::string::npos);
        EXPECT_TRUE(gbk::ToUtf8(words)) << "the OS's words are GBK";
        EXPECT_EQ(row.result.Error(), osError);
    }

    const Result failure = rows[2].result;  // a copy keeps every part
    EXPECT_EQ(failure.Reason(), rows[2].result.Reason());
    EXPECT_EQ(failure.Action(), Gbk("无法打开文件"));
    EXPECT_EQ(failure.Subject(), "notes.txt");
    EXPECT_TRUE(Result::Ok().IsOk());
    EXPECT_EQ(Result::Ok().Reason(), "");
}

TEST(Status, AFileIsNamedAsTheUserReadsIt) {
    const std::pair<const char8_t*, std::string> rows[] = {
        {u8"/home/u/notes.txt", "notes.txt"},                     // its name, not its folders
        {u8"文本.txt", Gbk("文本.txt")},                          // in GBK
        {u8"d/\U0001F600x\u00E9.txt", "?x" + Gbk("é") + ".txt"},  // what GBK lacks is "?"
    };
    for (const auto& [path, shown] : rows) EXPECT_EQ(ShownName(std::filesystem::path(path)), shown);
}

TEST(Status, AValueOrAFailure) {
    ResultOf<std::string> value(std::string("abc"));
    ASSERT_TRUE(value.IsOk());
    EXPECT_EQ(std::move(value).Value(), "abc");

    const ResultOf<int> failure(Result::Refused(Gbk("文曲星拒绝了请求")));
    EXPECT_FALSE(failure.IsOk());
    EXPECT_EQ(failure.GetKind(), Kind::refused);
    EXPECT_EQ(failure.Failure().Reason(), Gbk("文曲星拒绝了请求"));

    const ResultOf<int> neither(Result::Ok());  // a caller's fault, still a failure
    EXPECT_FALSE(neither.IsOk());
    EXPECT_EQ(neither.Reason(), Gbk("程序内部出错"));
}

}  // namespace
}  // namespace kestrel::test
