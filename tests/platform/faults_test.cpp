#include "platform/faults.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kestrel::sys {
namespace {

class Faults : public ::testing::Test {
protected:
    void TearDown() override { ClearFaults(); }
};

TEST_F(Faults, NthCallFailsOnceAndOnlyForItsOperation)
{
    InjectFault(FaultOp::Write, 3, 112);
    InjectFault(FaultOp::Rename, 1, 5);
    DWORD code = 0;
    EXPECT_FALSE(FaultDue(FaultOp::Write, code));
    EXPECT_FALSE(FaultDue(FaultOp::Read, code));
    EXPECT_FALSE(FaultDue(FaultOp::Write, code));
    EXPECT_TRUE(FaultDue(FaultOp::Write, code));
    EXPECT_EQ(code, 112u);
    EXPECT_FALSE(FaultDue(FaultOp::Write, code));
    EXPECT_TRUE(FaultDue(FaultOp::Rename, code));
    EXPECT_EQ(code, 5u);

    InjectFault(FaultOp::Create, 1, 80);
    ClearFaults();
    EXPECT_FALSE(FaultDue(FaultOp::Create, code));
}

TEST_F(Faults, ExactlyOneOfManyConcurrentCallsFails)
{
    InjectFault(FaultOp::Read, 500, 30);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 250; ++i) {
                DWORD code = 0;
                if (FaultDue(FaultOp::Read, code))
                    failures += code == 30 ? 1 : 100;
            }
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 1);
}

} // namespace
} // namespace kestrel::sys
