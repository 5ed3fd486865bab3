#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/progress_sink.h"
#include "engine/run_outcomes.h"

namespace tailmend {

// One row of the main window's event list, as the run gave it: the file, what became of it and,
// where something went wrong, why.
struct EventRow {
  std::string file;
  FileResult result;
  std::optional<FileFailure> failure;
};

// How a run ended: with the engine's own end, or with an error that passed out of it.
struct RunEnding {
  std::optional<RunEnd> end;
  std::string error;  // the error's text, when end is empty
};

// What a run has to show at one moment.
struct RunSnapshot {
  std::optional<std::string> caption;  // empty until the first file sets it
  std::array<StepState, std::size(kSteps)> steps{};
  // The rows reported since the last snapshot, in their order.
  std::vector<EventRow> newRows;
  std::size_t rowsSoFar = 0;
  std::size_t files = 0;
  std::optional<RunEnding> ending;  // set once the run is over
};

// What a run shows, kept between the thread that repairs and the window that shows it. The worker
// only writes it and asks it whether to stop; the window takes a snapshot when it chooses (on a
// timer) and draws what changed, so that drawing never holds the run up, nor the run the window.
// A file's row is handed on once that file is over (the next file begins, or the run ends), with
// the failure the run reports right after it.
class RunProgress final : public ProgressSink {
public:
  RunProgress(std::size_t files, bool backup) : files_(files), backup_(backup) {}

  // The worker's side.
  void SetCaption(const std::string& text) override;
  void SetStepText(Step step, StepState state) override;
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override { return backup_; }
  // Cheap enough to be asked as often as the worker likes.
  bool StopRequested() override { return stop_.load(std::memory_order_relaxed); }
  void ReportFailure(const std::string& file, const FileFailure& failure) override;
  // The run's last word.
  void End(const RunEnding& ending);

  // The window's side.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
  RunSnapshot Take();

private:
  void HandOnCurrentRow();

  const std::size_t files_;
  const bool backup_;
  std::atomic<bool> stop_{false};

  std::mutex mutex_;
  std::optional<std::string> caption_;
  std::array<StepState, std::size(kSteps)> steps_{};
  std::optional<EventRow> currentRow_;
  std::vector<EventRow> newRows_;
  std::size_t rowsSoFar_ = 0;
  std::optional<RunEnding> ending_;
};

}  // namespace tailmend
