#include "cli/scan_pool.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "scanner/byte_source.h"
#include "scanner/scan_error.h"

namespace tamsel::cli {

Outcome ScanInput(Input input) {
  Outcome outcome{std::move(input), std::nullopt, {}};
  if (outcome.input.kind == Input::Kind::kFailure) {
    outcome.cause = outcome.input.cause;
    return outcome;
  }
  try {
    if (outcome.input.kind == Input::Kind::kStandardInput) {
      DescriptorSource source(STDIN_FILENO, "-");
      outcome.result = ScanSource(source);
    } else {
      outcome.result = ScanPath(outcome.input.path);
    }
  } catch (const ScanError& e) {
    outcome.cause = e.cause();
  } catch (const std::bad_alloc&) {
    outcome.cause = "out of memory";
  }
  return outcome;
}

void ScanPool::Run(const std::function<void(const InputSink&)>& produce,
                   const std::function<void(Outcome&&)>& deliver,
                   const std::function<void(const PoolStatus&)>& tick) {
  // Inputs waiting for a scan, and how far scans may run ahead of the
  // outcome being waited for.
  const std::size_t queue_limit = 4096;
  const std::uint64_t ahead_limit = 64 + 16 * std::uint64_t{jobs_};

  std::mutex mutex;
  std::condition_variable work;      // an input was queued, the window moved, or all were found
  std::condition_variable room;      // the queue has room again
  std::condition_variable finished;  // every outcome has been handed over
  std::deque<std::pair<std::uint64_t, Input>> queue;
  std::map<std::uint64_t, Outcome> outcomes;  // scanned, not yet handed over
  std::map<std::uint64_t, std::filesystem::path> scanning;
  PoolStatus status;
  // One thread at a time hands outcomes over (or draws the progress line):
  // whichever finds the next one ready. No thread is woken for it, and the
  // order stays that of the inputs.
  bool handing_over = false;
  std::exception_ptr producer_error;

  const auto all_done = [&] { return status.all_found && status.done == status.found; };
  // Called with the lock held and handing_over set; hands over every
  // outcome that is next in order, then gives up the role.
  const auto hand_over = [&](std::unique_lock<std::mutex>& lock) {
    for (;;) {
      const auto next = outcomes.find(status.done);
      if (next == outcomes.end()) break;
      auto node = outcomes.extract(next);
      ++status.done;
      work.notify_all();  // the window moved
      lock.unlock();
      deliver(std::move(node.mapped()));
      lock.lock();
    }
    handing_over = false;
    if (all_done()) finished.notify_all();
  };

  std::thread producer([&] {
    try {
      produce([&](Input input) {
        std::unique_lock lock(mutex);
        room.wait(lock, [&] { return queue.size() < queue_limit; });
        queue.emplace_back(status.found++, std::move(input));
        work.notify_one();
      });
    } catch (...) {
      producer_error = std::current_exception();
    }
    std::lock_guard lock(mutex);
    status.all_found = true;
    work.notify_all();
    if (all_done()) finished.notify_all();
  });

  std::vector<std::thread> workers;
  for (unsigned i = 0; i < jobs_; ++i) {
    workers.emplace_back([&] {
      for (;;) {
        std::unique_lock lock(mutex);
        work.wait(lock, [&] {
          return (!queue.empty() && queue.front().first < status.done + ahead_limit) ||
                 (queue.empty() && status.all_found);
        });
        if (queue.empty()) return;
        auto [index, input] = std::move(queue.front());
        queue.pop_front();
        scanning.emplace(index, input.path);
        if (queue.size() == queue_limit - 1) room.notify_one();
        lock.unlock();

        Outcome outcome = ScanInput(std::move(input));

        lock.lock();
        scanning.erase(index);
        if (outcome.result) status.bytes += outcome.result->bytes;
        outcomes.emplace(index, std::move(outcome));
        if (!handing_over && index == status.done) {
          handing_over = true;
          hand_over(lock);
        }
      }
    });
  }

  // This thread draws the progress line now and then, and waits for the end.
  {
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(100), all_done)) {
      if (handing_over) continue;
      handing_over = true;
      const auto waiting = scanning.find(status.done);
      status.waiting_for = waiting != scanning.end() ? waiting->second : std::filesystem::path();
      const PoolStatus snapshot = status;
      lock.unlock();
      tick(snapshot);
      lock.lock();
      // An outcome that came while the line was drawn was left to us.
      hand_over(lock);
    }
  }
  producer.join();
  for (std::thread& t : workers) t.join();
  if (producer_error) std::rethrow_exception(producer_error);
}

}  // namespace tamsel::cli
