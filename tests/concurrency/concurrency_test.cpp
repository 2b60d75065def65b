// The concurrency kit: jobs come back in the order they were handed in
// whatever thread did them, each thread keeps its own worker, a job's
// exception reaches the caller at its turn, and a write-behind file holds
// its pieces in order.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "concurrency/ordered_queue.hpp"
#include "concurrency/threads.hpp"
#include "concurrency/write_behind.hpp"
#include "support/test_support.hpp"

namespace {

struct Job {
  int input = 0;
  int output = 0;
  int worker = 0;  // which worker did it
};

// Squares its job's input; a worker of its own per thread, numbered as made.
struct Squarer {
  explicit Squarer(std::atomic<int>& made) : id(++made) {}
  void operator()(Job& job) {
    if (job.input < 0) throw std::runtime_error("negative input " + std::to_string(job.input));
    job.output = job.input * job.input;
    job.worker = id;
    ++done;
  }
  int id;
  int done = 0;
};

TEST(OrderedWorkQueue, JobsComeBackInTheOrderHandedIn) {
  for (const int threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    std::atomic<int> made{0};
    std::vector<Job> jobs(200);
    std::vector<int> order;
    std::set<int> workers;
    {
      mv::OrderedWorkQueue<Job, Squarer> queue(threads, [&made] { return Squarer(made); });
      std::size_t next = 0;
      // At most eight under way, as a reader of a large file would keep it.
      while (next < jobs.size() || queue.size() > 0) {
        while (next < jobs.size() && queue.size() < 8) {
          jobs[next].input = static_cast<int>(next);
          queue.submit(jobs[next++]);
        }
        const Job& job = queue.next();
        order.push_back(job.input);
        EXPECT_EQ(job.output, job.input * job.input);
        workers.insert(job.worker);
      }
    }
    std::vector<int> expected(jobs.size());
    for (std::size_t k = 0; k < expected.size(); ++k) expected[k] = static_cast<int>(k);
    EXPECT_EQ(order, expected);
    // One worker per thread, each made once.
    EXPECT_EQ(made.load(), threads);
    for (int id : workers) EXPECT_TRUE(id >= 1 && id <= threads) << id;
  }
}

TEST(OrderedWorkQueue, AJobsExceptionIsThrownAtItsTurn) {
  std::atomic<int> made{0};
  std::vector<Job> jobs(5);
  const int inputs[] = {1, 2, -3, 4, 5};
  mv::OrderedWorkQueue<Job, Squarer> queue(3, [&made] { return Squarer(made); });
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    jobs[k].input = inputs[k];
    queue.submit(jobs[k]);
  }
  EXPECT_EQ(queue.next().output, 1);
  EXPECT_EQ(queue.next().output, 4);
  try {
    queue.next();
    FAIL() << "the third job's exception was not thrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "negative input -3");
  }
  // The jobs after it are still there to be taken back.
  EXPECT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue.next().output, 16);
  EXPECT_EQ(queue.next().output, 25);
}

TEST(OrderedWorkQueue, LeavingWithJobsUnderWayWaitsForTheHelpers) {
  std::atomic<int> made{0};
  std::vector<Job> jobs(64);
  {
    mv::OrderedWorkQueue<Job, Squarer> queue(4, [&made] { return Squarer(made); });
    for (Job& job : jobs) queue.submit(job);
    queue.next();
  }
  // Whatever was done was done whole.
  for (const Job& job : jobs) EXPECT_TRUE(job.worker == 0 || job.output == job.input * job.input);
}

TEST(BackgroundJob, RunsBesideTheCallerAndIsWaitedFor) {
  std::atomic<bool> ran{false};
  std::thread::id where;
  {
    mv::BackgroundJob job;
    EXPECT_FALSE(job.started());
    job.start([&] {
      where = std::this_thread::get_id();
      ran = true;
    });
    EXPECT_TRUE(job.started());
    job.wait();
    EXPECT_FALSE(job.started());
    EXPECT_TRUE(ran.load());
    EXPECT_NE(where, std::this_thread::get_id());
    // Started again, and waited for when it goes.
    ran = false;
    job.start([&] { ran = true; });
  }
  EXPECT_TRUE(ran.load());
}

TEST(WorkThreads, TheEnvironmentSetsTheNumberWithinItsRange) {
  const char* before = std::getenv("MORVELSTRAND_THREADS");
  const std::string saved = before != nullptr ? before : "";
  const auto with = [](const char* value) {
    setenv("MORVELSTRAND_THREADS", value, 1);
    return mv::workThreads();
  };
  EXPECT_EQ(with("1"), 1);
  EXPECT_EQ(with("3"), 3);
  EXPECT_EQ(with("64"), 64);
  unsetenv("MORVELSTRAND_THREADS");
  const int cores = mv::workThreads();
  EXPECT_GE(cores, 1);
  EXPECT_LE(cores, mv::kMaxWorkThreads);
  // Anything else is not a number of threads: one per core.
  for (const char* wrong : {"0", "65", "-2", "2x", ""}) EXPECT_EQ(with(wrong), cores) << wrong;
  if (before != nullptr)
    setenv("MORVELSTRAND_THREADS", saved.c_str(), 1);
  else
    unsetenv("MORVELSTRAND_THREADS");
}

TEST(WriteBehind, PiecesReachTheFileInOrderAndBuffersComeBack) {
  mvtest::TempDir dir;
  mv::FileSink file;
  ASSERT_TRUE(file.open(dir / "out.txt"));
  std::string expected;
  {
    mv::WriteBehind behind(file);
    std::string piece;
    for (int k = 0; k < 100; ++k) {
      piece.assign(1000, static_cast<char>('a' + k % 26));
      piece += std::to_string(k) + "\n";
      expected += piece;
      behind.write(piece);
      // An emptied buffer comes back once the first pieces are written:
      // its old bytes are to be overwritten.
      piece.clear();
    }
    behind.finish();
    behind.finish();  // a second finish is no harm
  }
  ASSERT_TRUE(file.close());
  EXPECT_EQ(mvtest::readFile(dir / "out.txt"), expected);
}

}  // namespace
