#ifndef TLDTASKRUNNER_H
#define TLDTASKRUNNER_H

#include "tldProgress.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent>
#include <functional>
#include <memory>

// Runs the designer's long jobs (verification, analysis, the search for a removal
// order) on Qt's thread pool while a progress dialog shows how far they are and lets
// the author cancel. One job at a time; the window stays responsive meanwhile.
class tldTaskRunner : public QObject
{
    Q_OBJECT

public:
    explicit tldTaskRunner(QObject *parent);

    bool isBusy() const { return busy; }

    // `work` runs on a worker thread with its progress, counted up to `steps`, shown over
    // `window`, which it keeps from use meanwhile; `done` gets its result on this thread.
    // False, and nothing runs, while a job is under way.
    template <typename Result>
    bool run(QWidget *window, const QString &label, int steps,
             std::function<Result(tldProgress &)> work, std::function<void(const Result &)> done)
    {
        if (busy)
            return false;
        auto progress = std::make_shared<tldProgress>();
        auto *watcher = new QFutureWatcher<Result>(this);
        connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher, done] {
            finish();
            done(watcher->result());
            watcher->deleteLater();
            emit finished();
        });
        start(window, label, steps, progress);
        watcher->setFuture(QtConcurrent::run([work, progress] { return work(*progress); }));
        return true;
    }

signals:
    // A job has ended and its result has been handed on.
    void finished();

private:
    void start(QWidget *window, const QString &label, int steps,
               const std::shared_ptr<tldProgress> &progress);
    void finish();

    QPointer<QProgressDialog> dialog;
    QTimer poll;
    std::shared_ptr<tldProgress> current;
    bool busy = false;
};

#endif
