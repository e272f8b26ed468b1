#pragma once
// Pages worked on by several threads and handed on in page order. At most
// a small window of pages is in flight, so memory stays bounded whatever the
// page count. One job works on the calling thread alone.

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/options.h"

namespace pravel::cli {

// The cores this process may run on (at least 1).
int AvailableCores();

// The value of --jobs: 1 to kMaxJobs threads.
inline constexpr int kMaxJobs = 256;
std::optional<int> ParseJobs(const std::string& text);

// The options of the commands that work on several threads.
inline constexpr OptionSpec kJobsOption{"--jobs", "-j", "a number of threads from 1 to 256"};
inline constexpr OptionSpec kQuietOption{"--quiet", "-q"};

// Sets `jobs` from --jobs when given; the problem when its value is wrong.
std::optional<std::string> ReadJobs(const CommandLine& line, int& jobs);

// Parses the line of a command that works on one report with --jobs: the
// report in `line.positional[0]`, the threads in `jobs` (by default the
// available cores).
ParsedCommand ParseOneReportCommand(const CommandSpec& command, Args args, int& jobs);

// Pages in flight per job.
inline constexpr int kPagesInFlightPerJob = 8;
// The same where a page's result is small (the worker wrote the page out
// itself): one page that takes long then holds up fewer after it.
inline constexpr int kSmallResultPagesInFlightPerJob = 64;

// The number of threads RunPagesInOrder starts for `jobs` and the pages
// first..last: `worker` passed to `work` is below it.
inline int WorkersFor(int first, int last, int jobs) { return std::max(1, std::min(jobs, last - first + 1)); }

// Runs `work(page, worker)` for pages first..last on `jobs` threads and
// `deliver(page, result)` on the calling thread in ascending page order;
// `worker` numbers the thread from 0, so that each can keep its own buffers.
// An exception from `work` is rethrown from here once the pages before it
// are delivered; no page after it is delivered. `deliver` returning false
// stops the run. Returns the number of pages delivered. At most
// `in_flight_per_job` pages per thread are taken and not yet delivered.
template <class Result>
int RunPagesInOrder(int first, int last, int jobs, const std::function<Result(int page, int worker)>& work,
                    const std::function<bool(int page, Result&& result)>& deliver,
                    int in_flight_per_job = kPagesInFlightPerJob) {
  if (last < first) return 0;
  jobs = WorkersFor(first, last, jobs);
  if (jobs <= 1) {
    int delivered = 0;
    for (int page = first; page <= last; ++page) {
      if (!deliver(page, work(page, 0))) return delivered;
      ++delivered;
    }
    return delivered;
  }

  struct Done {
    std::optional<Result> result;
    std::exception_ptr error;
  };
  const int window = jobs * std::max(1, in_flight_per_job);
  std::mutex mutex;
  std::condition_variable changed;
  std::map<int, Done> done;  // finished pages not yet delivered
  int next_page = first;     // the next page a worker takes
  int next_delivery = first;
  bool stop = false;

  const auto worker = [&](int number) {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stop || next_page > last || next_page < next_delivery + window; });
      if (stop || next_page > last) return;
      const int page = next_page++;
      lock.unlock();
      Done outcome;
      try {
        outcome.result.emplace(work(page, number));
      } catch (...) {
        outcome.error = std::current_exception();
      }
      lock.lock();
      done.emplace(page, std::move(outcome));
      changed.notify_all();
    }
  };

  std::vector<std::jthread> threads;
  threads.reserve(static_cast<std::size_t>(jobs));
  const auto finish = [&] {
    {
      const std::lock_guard guard(mutex);
      stop = true;
    }
    changed.notify_all();
    threads.clear();  // joins
  };
  try {
    for (int k = 0; k < jobs; ++k) threads.emplace_back(worker, k);
    int delivered = 0;
    while (next_delivery <= last) {
      Done outcome;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return done.contains(next_delivery); });
        auto node = done.extract(next_delivery);
        outcome = std::move(node.mapped());
      }
      if (outcome.error) std::rethrow_exception(outcome.error);
      const int page = next_delivery;
      {
        const std::lock_guard guard(mutex);
        ++next_delivery;
      }
      changed.notify_all();
      if (!deliver(page, std::move(*outcome.result))) break;
      ++delivered;
    }
    finish();
    return delivered;
  } catch (...) {
    finish();
    throw;
  }
}

// The same for work that needs no buffers of its own.
template <class Result>
int RunPagesInOrder(int first, int last, int jobs, const std::function<Result(int page)>& work,
                    const std::function<bool(int page, Result&& result)>& deliver) {
  return RunPagesInOrder<Result>(
      first, last, jobs, [&work](int page, int /*worker*/) { return work(page); }, deliver);
}

}  // namespace pravel::cli
