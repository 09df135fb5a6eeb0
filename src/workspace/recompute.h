#pragma once
// The records of a background recomputation of the rows.

#include "diff/diffengine.h"

#include <QMutex>
#include <QObject>
#include <QStringList>

#include <functional>

using TComputeDiffFunction = std::function<TDiffItems(const QStringList&, const QStringList&, TDiffOptions)>;

// One job: the options and private copies of both sides at the time of the request.
struct TRecomputeJob {
  TDiffOptions Opts;
  QStringList RightCopy;
  QStringList LeftCopy;
  TComputeDiffFunction Compute;
  qint32 JobId = 0;
};

// What the worker hands back to the UI thread.
struct TRecomputeResult {
  TDiffItems Items;
  bool Failed = false;
  bool OutOfMemory = false;
  QString Failure;
};

// The way back from a worker to the window. The window closes it when it is destroyed, so a job
// that finishes later never reaches a destroyed window.
class TRecomputeChannel {
public:
  explicit TRecomputeChannel(QObject* target) : FTarget(target) {}
  // Queues the completion on the target's thread, unless the channel was closed.
  void Post(const std::function<void()>& completion);
  void Close();
  QObject* Target() {
    QMutexLocker lock(&FLock);
    return FTarget;
  }

private:
  QMutex FLock;
  QObject* FTarget;
};
