#include "tldTaskRunner.h"

namespace {
// The progress dialog follows the job this often; the job itself never waits for it.
const int pollMilliseconds = 100;
}

tldTaskRunner::tldTaskRunner(QObject *parent)
    : QObject(parent)
{
    poll.setInterval(pollMilliseconds);
    connect(&poll, &QTimer::timeout, this, [this] {
        if (dialog && current)
            dialog->setValue(current->stepsDone());
    });
}

void tldTaskRunner::start(QWidget *window, const QString &label, int steps,
                          const std::shared_ptr<tldProgress> &progress)
{
    busy = true;
    current = progress;
    dialog = new QProgressDialog(label, tr("Cancel"), 0, steps, window);
    dialog->setWindowModality(Qt::WindowModal);
    // Quick jobs come and go without a dialog flashing up.
    dialog->setMinimumDuration(pollMilliseconds * 3);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // The job ends after the step under way; the dialog is not brought back meanwhile.
    connect(dialog, &QProgressDialog::canceled, this, [this, progress] {
        progress->cancel();
        poll.stop();
    });
    dialog->setValue(0);
    poll.start();
}

void tldTaskRunner::finish()
{
    poll.stop();
    if (dialog)
        dialog->deleteLater();
    current.reset();
    busy = false;
}
