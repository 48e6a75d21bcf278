#include "tests/support/scripted_line.h"

#include <gtest/gtest.h>

namespace kestrel::test {

ScriptedLine::ScriptedLine() {
    auto [pc, handheld] = MakeMemoryPortPair();
    handheldEnd_ = std::move(handheld);
    auto pcEnd = std::make_shared<std::unique_ptr<Port>>(std::move(pc));
    setup.openPort = [pcEnd](const PortChoice&) {
        EXPECT_TRUE(*pcEnd) << "the port was opened twice";
        return OpenedPort{std::move(*pcEnd), {}};
    };
    setup.tempDirectory = dir.Path();
    setup.silenceBound = std::chrono::milliseconds(200);
}

void ScriptedLine::Handheld(const Bytes& bytes) {
    ASSERT_EQ(handheldEnd_->Write(bytes), IoStatus::ok);
}

TransferEnd ScriptedLine::Run(const TransferRequest& request) {
    return RunTransfer(request, setup, status, cancel);
}

}  // namespace kestrel::test
