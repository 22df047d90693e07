#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ranges>
#include <stdexcept>
#include <vector>

#include "platform/ordered_worker.h"

namespace qx {
namespace {

using Worker = OrderedWorker<int, std::function<void(int)>>;
constexpr int kBloc = static_cast<int>(Worker::kBlockItems);

// Both ways of applying: on a second thread, and on the caller's (single core).
class OrderedWorkerTest : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Modes, OrderedWorkerTest, ::testing::Values(false, true));

// Whether vus holds 0, 1, 2... in order.
bool enOrdre(const std::vector<int>& vus) {
    return std::ranges::equal(vus, std::views::iota(0, static_cast<int>(vus.size())));
}

TEST_P(OrderedWorkerTest, AppliesEveryItemOnceInOrderAcrossBlocks) {
    for (int n : {0, 1, kBloc - 1, kBloc, 3 * kBloc + 17}) {
        std::vector<int> vus;
        {
            Worker w([&](int i) { vus.push_back(i); }, GetParam());
            for (int i = 0; i < n; ++i) w.push(i);
            w.drain();
            EXPECT_TRUE(static_cast<int>(vus.size()) == n && enOrdre(vus)) << n;
            // Going away with items left does not wait for them.
            for (int i = n; i < n + 1 + 2 * kBloc; ++i) w.push(i);
        }
        // Whatever was applied came in order; the item never handed over was not.
        EXPECT_TRUE(static_cast<int>(vus.size()) <= n + 2 * kBloc && enOrdre(vus)) << n;
    }
}

TEST_P(OrderedWorkerTest, FirstFailureStopsLaterItemsAndComesBackToTheCaller) {
    // Failing item: in the first block, last of a block, in a later block.
    for (int echec : {3, kBloc - 1, 2 * kBloc + 5}) {
        std::vector<int> vus;
        Worker w(
            [&](int i) {
                if (i == echec) throw std::runtime_error("item " + std::to_string(i));
                vus.push_back(i);
            },
            GetParam());
        std::string message;
        try {
            // The failure reaches the producer at a later hand-over or at the drain.
            for (int i = 0; i < 6 * kBloc; ++i) w.push(i);
            w.drain();
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message, "item " + std::to_string(echec));
        EXPECT_TRUE(static_cast<int>(vus.size()) == echec && enOrdre(vus)) << echec;
        // Reported again, and nothing more is applied.
        w.push(0);
        EXPECT_THROW(w.drain(), std::runtime_error);
        EXPECT_EQ(static_cast<int>(vus.size()), echec);
    }
}

}  // namespace
}  // namespace qx
