#include "cli/page_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace pravel::cli {
namespace {

// Pages take uneven times, so that later pages often finish first.
void Wait(int page) { std::this_thread::sleep_for(std::chrono::microseconds((page * 7919) % 13 * 100)); }

TEST(PagePipeline, DeliversInPageOrderWithABoundedWindow) {
  for (const int jobs : {1, 3}) {
    SCOPED_TRACE(jobs);
    std::atomic<int> in_flight = 0, most_in_flight = 0;
    std::vector<int> delivered;
    const int count = RunPagesInOrder<int>(
        5, 60, jobs,
        [&](int page) {
          const int now = ++in_flight;
          for (int seen = most_in_flight; now > seen && !most_in_flight.compare_exchange_weak(seen, now);) {
          }
          Wait(page);
          return page * 10;
        },
        [&](int page, int&& result) {
          --in_flight;
          EXPECT_EQ(result, page * 10);
          delivered.push_back(page);
          return true;
        });
    EXPECT_EQ(count, 56);
    ASSERT_EQ(delivered.size(), 56u);
    for (std::size_t k = 0; k < delivered.size(); ++k) EXPECT_EQ(delivered[k], static_cast<int>(k) + 5);
    // Finished pages wait for delivery: no more than the window ever exists.
    EXPECT_LE(most_in_flight, jobs * kPagesInFlightPerJob + 1);
  }
}

TEST(PagePipeline, EachWorkerNumberIsOneThreadAtATimeAndTheWindowCanGrow) {
  constexpr int kJobs = 3, kWindow = 20;
  std::atomic<bool> busy[kJobs] = {};
  std::atomic<int> in_flight = 0, most_in_flight = 0;
  std::atomic<bool> overlap = false, out_of_range = false;
  const std::function<int(int, int)> work = [&](int page, int worker) {
    if (worker < 0 || worker >= kJobs) {
      out_of_range = true;
      return page;
    }
    if (busy[worker].exchange(true)) overlap = true;
    const int now = ++in_flight;
    for (int seen = most_in_flight; now > seen && !most_in_flight.compare_exchange_weak(seen, now);) {
    }
    // Page 2 holds up delivery long enough for the others to fill the window.
    std::this_thread::sleep_for(std::chrono::milliseconds(page == 2 ? 100 : 0));
    busy[worker] = false;
    return page;
  };
  const int count = RunPagesInOrder<int>(
      1, 150, kJobs, work,
      [&](int, int&&) {
        --in_flight;
        return true;
      },
      kWindow);
  EXPECT_EQ(count, 150);
  EXPECT_FALSE(out_of_range);
  EXPECT_FALSE(overlap);
  EXPECT_GT(most_in_flight, kJobs * kPagesInFlightPerJob);
  EXPECT_LE(most_in_flight, kJobs * kWindow + 1);
}

TEST(PagePipeline, AFailingPageEndsTheRunAfterThePagesBeforeIt) {
  for (const int jobs : {1, 4}) {
    SCOPED_TRACE(jobs);
    std::vector<int> delivered;
    const auto work = [](int page) {
      Wait(page);
      if (page == 7) throw std::runtime_error("page 7 is damaged");
      return page;
    };
    EXPECT_THROW(RunPagesInOrder<int>(1, 200, jobs, work,
                                      [&](int page, int&&) {
                                        delivered.push_back(page);
                                        return true;
                                      }),
                 std::runtime_error);
    EXPECT_EQ(delivered, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    // A delivery that fails stops the run too, without an exception.
    delivered.clear();
    EXPECT_EQ(RunPagesInOrder<int>(
                  1, 200, jobs, [](int page) { return page; },
                  [&](int page, int&&) {
                    delivered.push_back(page);
                    return page < 3;
                  }),
              2);
    EXPECT_EQ(delivered, (std::vector<int>{1, 2, 3}));
  }
}

TEST(PagePipeline, JobsOption) {
  EXPECT_EQ(ParseJobs("1"), 1);
  EXPECT_EQ(ParseJobs("256"), 256);
  for (const char* bad : {"", "0", "257", "-1", "2x", "1000"}) EXPECT_EQ(ParseJobs(bad), std::nullopt) << bad;
  EXPECT_GE(AvailableCores(), 1);
}

}  // namespace
}  // namespace pravel::cli
