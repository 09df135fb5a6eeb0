// Recomputing the rows on a pool thread after the sides changed. Each job works on its own
// copies of the two sides (shared, copy-on-write, so copying costs nothing) and hands its rows
// back to the UI thread, where only the newest job's rows are applied.

#include "app/tfrmmain.h"
#include "workspace/recompute.h"

#include "i18n/translations.h"

#include <QCoreApplication>
#include <QThreadPool>

void TRecomputeChannel::Post(const std::function<void()>& completion) {
  QMutexLocker lock(&FLock);
  if (FTarget) QMetaObject::invokeMethod(FTarget, completion, Qt::QueuedConnection);
}

void TRecomputeChannel::Close() {
  QMutexLocker lock(&FLock);
  FTarget = nullptr;
}

void TfrmMain::RecomputeDiffAsync() {
  auto job = std::make_shared<TRecomputeJob>();
  job->Opts = CurrentDiffOptions();
  job->LeftCopy = FLeftLines;
  job->RightCopy = FRightLines;
  job->Compute = FComputeDiff;
  job->JobId = ++FDiffRecomputeJobId;
  FDiffRecomputeInProgress = true;
  std::shared_ptr<TRecomputeChannel> channel = FRecomputeChannel;
  QThreadPool::globalInstance()->start([job, channel] {
    auto result = std::make_shared<TRecomputeResult>();
    try {
      result->Items = job->Compute(job->LeftCopy, job->RightCopy, job->Opts);
    } catch (const std::bad_alloc&) {
      result->OutOfMemory = result->Failed = true;
    } catch (const std::exception& error) {
      result->Failure = QString::fromUtf8(error.what());
      result->Failed = true;
    } catch (...) {
      result->Failed = true;
    }
    job->LeftCopy.clear();
    job->RightCopy.clear();
    const qint32 jobId = job->JobId;
    channel->Post([channel, result, jobId] {
      if (auto* window = qobject_cast<TfrmMain*>(channel->Target())) window->CompleteRecomputation(jobId, *result);
    });
  });
}

void TfrmMain::CompleteRecomputation(qint32 jobId, TRecomputeResult& result) {
  if (jobId != FDiffRecomputeJobId) return;  // a newer job, or a new comparison, supersedes it
  FDiffRecomputeInProgress = false;
  FUi.SetPointer(crDefault);
  if (result.Failed) {
    // The rows stay as they were and no longer describe the sides: commands that read them
    // refuse until a later recomputation succeeds.
    FRowsOutdated = true;
    const QString reason = result.OutOfMemory ? Translate(QStringLiteral("Out of memory.")) : result.Failure;
    FUi.ShowMessage(mkError, Translate(QStringLiteral("The comparison could not be recomputed:")) +
                                 QLatin1Char(' ') + reason);
    return;
  }
  FRowsOutdated = false;
  FFolderMode = false;
  FDiffItems = std::move(result.Items);
  FillGridRows();
  ShowStatistics(LineCountPrefix(), false);
}

void TfrmMain::SupersedeRecomputation() {
  if (FDiffRecomputeInProgress) ++FDiffRecomputeJobId;
  FDiffRecomputeInProgress = false;
  FRowsOutdated = false;
}

bool TfrmMain::WaitForCurrentRows() {
  if (FDiffRecomputeInProgress) {
    // The worker is fast; user input waits meanwhile, so nothing acts on the old rows.
    FUi.SetPointer(crHourGlass);
    while (FDiffRecomputeInProgress)
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    FUi.SetPointer(crDefault);
  }
  return !FRowsOutdated;
}
