#include "app/request_form.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "tests/app/user_text.h"
#include "tests/support/gbk.h"

namespace kestrel {
namespace {

using test::Gbk;
using test::User;

RequestBoxes Boxes(std::string_view pcPath, std::string_view name, std::string_view directory) {
    return {User(pcPath), User(name), User(directory)};
}

Refusal RefusalOf(const RequestBoxes& boxes) {
    const auto result = ReadRequestForm(boxes);
    if (!std::holds_alternative<Refusal>(result)) {
        ADD_FAILURE() << "accepted";
        return Refusal::noPcFile;
    }
    return std::get<Refusal>(result);
}

TEST(RequestForm, AcceptsTheBoxesAsGbk) {
    const auto result = ReadRequestForm(Boxes("/home/user/笔记 1.txt", "笔记.txt", "文本文件"));
    ASSERT_TRUE(std::holds_alternative<AcceptedRequest>(result));
    const auto& request = std::get<AcceptedRequest>(result);
    EXPECT_EQ(request.pcPath, std::filesystem::path(User("/home/user/笔记 1.txt")));
    EXPECT_EQ(request.deviceName, Gbk("笔记.txt"));
    EXPECT_EQ(request.deviceDirectory, Gbk("文本文件"));
}

TEST(RequestForm, RefusesEmptyBoxesFirstThenSpacesLengthAndGbk) {
    const struct {
        const char* pcPath;
        const char* name;
        const char* directory;
        Refusal refusal;
    } cases[] = {
        {"", "a.txt", "LAVA", Refusal::emptyPcPath},
        {"/a.txt", "", "LAVA", Refusal::emptyDeviceName},
        {"/a.txt", "a.txt", "", Refusal::emptyDeviceDirectory},
        {"/a.txt", "a b", "", Refusal::emptyDeviceDirectory},
        {"/a.txt", "a b.txt", "LAVA", Refusal::spaceInDeviceName},
        {"/a.txt", " ", "LAVA", Refusal::spaceInDeviceName},
        {"/a.txt", "a.txt", "LAVA ", Refusal::spaceInDeviceDirectory},
        // The limit counts GBK bytes: an eighth two-byte character does not fit.
        {"/a", "一二三四五六七八", "LAVA", Refusal::deviceNameTooLong},
        {"/a", "a.txt", "一二三四五六七八", Refusal::deviceDirectoryTooLong},
        {"/a", "abcdefghijklmno", "LAVA", Refusal::deviceNameTooLong},
        {"/a", "😀.txt", "LAVA", Refusal::deviceNameNotGbk},
        {"/a", "a.txt", "😀", Refusal::deviceDirectoryNotGbk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefusalOf(Boxes(c.pcPath, c.name, c.directory)), c.refusal) << c.name;
    }
    for (const auto& accepted : {Boxes("/a", "一二三四五六七", "一二三四五六七"),
                                 Boxes("/😀/a.txt", "a.txt", "LAVA")}) {  // the PC path stays native
        EXPECT_TRUE(std::holds_alternative<AcceptedRequest>(ReadRequestForm(accepted)));
    }
}

TEST(PortNameForSelection, CountsFromCom1) {
    EXPECT_EQ(PortNameForSelection(0), "COM1");
    EXPECT_EQ(PortNameForSelection(2), "COM3");
    EXPECT_EQ(PortNameForSelection(9), "COM10");
    EXPECT_EQ(PortNameForSelection(-1), std::nullopt);
}

}  // namespace
}  // namespace kestrel
