#include "tlcCommandParser.h"
#include "tlcCommands.h"

#include "tlLayoutHandler.h"
#include "tlCpuTimer.h"
#include "tleGameEngine.h"
#include "tleSolver.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace tlc {

namespace {

const quint32 largestDealCount = 1000000;
const quint32 largestThreadCount = 256;
const int millisecondDecimals = 1;
const double nanosecondsPerMillisecond = 1e6;
const double millisecondsPerSecond = 1e3;
const double medianShare = 0.5;
const double p99Share = 0.99;

QCommandLineOption limitOption()
{
    return QCommandLineOption(
        QStringLiteral("limit"),
        QStringLiteral("Most positions to search before giving up undecided (default %1).")
            .arg(tleSolver::defaultNodeLimit),
        QStringLiteral("N"));
}

bool readLimit(const tlcCommandParser &parser, const QCommandLineOption &option,
               tleSolver::Limits &limits)
{
    quint32 nodes = quint32(tleSolver::defaultNodeLimit);
    if (!parser.readNumber(option, 1, std::numeric_limits<quint32>::max(), nodes))
        return false;
    limits.nodes = nodes;
    return true;
}

QString answerText(tleSolver::Answer answer)
{
    switch (answer) {
    case tleSolver::Answer::winnable:
        return QStringLiteral("winnable");
    case tleSolver::Answer::notWinnable:
        return QStringLiteral("not winnable");
    case tleSolver::Answer::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QString milliseconds(double value)
{
    return QString::number(value, 'f', millisecondDecimals);
}

double millisecondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / nanosecondsPerMillisecond;
}

struct DealOutcome
{
    tleSolver::Answer answer = tleSolver::Answer::unknown;
    quint64 nodes = 0;
    double milliseconds = 0;
};

// Deals and decides `count` games from `firstSeed` on, on `threads` threads; the
// outcomes by deal. An empty list after a deal that failed, with the reason.
std::vector<DealOutcome> surveyDeals(const QString &layoutPath, quint32 firstSeed, quint32 count,
                                     quint32 threads, const tleSolver::Limits &limits,
                                     QString &failure)
{
    std::vector<DealOutcome> outcomes(count);
    std::atomic<quint32> next{0};
    std::atomic<bool> failed{false};
    QString firstFailure;
    const auto work = [&] {
        tleGameEngine engine;
        for (quint32 deal = next++; deal < count && !failed; deal = next++) {
            const QString reason = dealGame(engine, layoutPath, firstSeed + deal, false);
            if (!reason.isEmpty()) {
                if (!failed.exchange(true))
                    firstFailure = reason;
                return;
            }
            // Processor time: what a deal costs, whatever else the machine is doing.
            const tlCpuTimer timer;
            const tleSolver solver(*engine.board());
            const tleSolver::Result result = solver.solve(limits);
            outcomes[deal].answer = result.answer;
            outcomes[deal].nodes = result.nodes;
            outcomes[deal].milliseconds = timer.seconds() * millisecondsPerSecond;
        }
    };
    std::vector<std::thread> workers;
    for (quint32 i = 0; i < threads; ++i)
        workers.emplace_back(work);
    for (std::thread &worker : workers)
        worker.join();
    if (failed) {
        failure = firstFailure;
        return {};
    }
    return outcomes;
}

// The time below which `share` of the sorted times lie (nearest rank).
double percentile(const std::vector<double> &sorted, double share)
{
    const size_t rank = size_t(std::ceil(share * double(sorted.size())));
    return sorted[std::max<size_t>(rank, 1) - 1];
}

QString summary(const QString &layoutName, const std::vector<DealOutcome> &outcomes)
{
    std::array<int, 3> answers{};
    std::vector<double> times;
    for (const DealOutcome &outcome : outcomes) {
        ++answers[size_t(outcome.answer)];
        times.push_back(outcome.milliseconds);
    }
    std::sort(times.begin(), times.end());
    return QStringLiteral("%1: %2 deals, %3 winnable, %4 not winnable, %5 unknown, median %6 ms, "
                          "p99 %7 ms, max %8 ms")
        .arg(layoutName)
        .arg(outcomes.size())
        .arg(answers[size_t(tleSolver::Answer::winnable)])
        .arg(answers[size_t(tleSolver::Answer::notWinnable)])
        .arg(answers[size_t(tleSolver::Answer::unknown)])
        .arg(milliseconds(percentile(times, medianShare)), milliseconds(percentile(times, p99Share)),
             milliseconds(times.back()));
}

}

int runAnalyze(const QStringList &arguments)
{
    tlcCommandParser parser(QStringLiteral("analyze"),
                            QStringLiteral("Decides by an exact search whether a saved game can be "
                                           "cleared, and prints an order that clears it.\n"
                                           "Exits 0 when winnable, 3 when not winnable, 4 when the "
                                           "limit left it unknown, 1 on errors."));
    parser.addArgument(QStringLiteral("GAME"), QStringLiteral("Game file (.tlgf)."));
    const QCommandLineOption limit = limitOption();
    parser.addOption(limit);
    tleSolver::Limits limits;
    if (!parser.parse(arguments) || !readLimit(parser, limit, limits))
        return exitFailure;
    tleGameEngine engine;
    if (!openGame(engine, parser.argument(0)))
        return exitFailure;

    QElapsedTimer timer;
    timer.start();
    const tleSolver solver(*engine.board());
    const tleSolver::Result result = solver.solve(limits);
    out() << answerText(result.answer) << Qt::endl;
    out() << "time: " << milliseconds(millisecondsSince(timer)) << " ms" << Qt::endl;
    out() << "positions: " << result.nodes << Qt::endl;
    switch (result.answer) {
    case tleSolver::Answer::notWinnable:
        return exitNotSolved;
    case tleSolver::Answer::unknown:
        return exitUndecided;
    case tleSolver::Answer::winnable:
        break;
    }
    // The report is the engine's, made from its history of removed pairs.
    for (const tleTilePair &pair : result.order) {
        if (!engine.removePair(pair.first, pair.second))
            return fail(QStringLiteral("the order found does not replay on the board."));
    }
    out() << Qt::endl << engine.solutionText() << Qt::flush;
    return exitSuccess;
}

int runSurvey(const QStringList &arguments)
{
    tlcCommandParser parser(QStringLiteral("survey"),
                            QStringLiteral("Deals random games on layouts, as 'deal' does for "
                                           "consecutive seeds, and decides each by an exact search.\n"
                                           "Prints one line per layout with the counts of the "
                                           "answers and the processor time the deals took: the "
                                           "median, the 99th percentile and the longest."));
    parser.addRepeatedArgument(QStringLiteral("LAYOUT"), layoutArgumentDescription());
    const QCommandLineOption deals(QStringLiteral("deals"),
                                   QStringLiteral("Deals per layout (required)."), QStringLiteral("N"));
    const QCommandLineOption seed = seedOption(QStringLiteral("Seed of the first deal (default 0)."));
    const QCommandLineOption threads(QStringLiteral("threads"),
                                     QStringLiteral("Deals decided at once (default: one per "
                                                    "processor core)."),
                                     QStringLiteral("T"));
    const QCommandLineOption limit = limitOption();
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Also print every deal: seed, answer, time and positions "
                                                 "searched."));
    for (const QCommandLineOption &option : {deals, seed, threads, limit, list})
        parser.addOption(option);
    quint32 dealCount = 0;
    quint32 firstSeed = 0;
    quint32 threadCount = quint32(std::max(1, QThread::idealThreadCount()));
    tleSolver::Limits limits;
    if (!parser.parse(arguments) || !parser.require(deals)
        || !parser.readNumber(deals, 1, largestDealCount, dealCount)
        || !parser.readNumber(seed, 0, largestSeed, firstSeed)
        || !parser.readNumber(threads, 1, largestThreadCount, threadCount)
        || !readLimit(parser, limit, limits)) {
        return exitFailure;
    }
    if (largestSeed - firstSeed < dealCount - 1) {
        return fail(QStringLiteral("--seed %1 with --deals %2 runs past the largest seed, %3.")
                        .arg(firstSeed)
                        .arg(dealCount)
                        .arg(largestSeed));
    }

    for (const QString &layout : parser.argumentsFrom(0)) {
        const QString path = resolveLayout(layout);
        if (path.isEmpty())
            return exitFailure;
        tlLayoutHandler handler;
        if (!handler.open(path))
            return fail(QStringLiteral("'%1' is not a readable layout file.").arg(path));
        QString failure;
        const std::vector<DealOutcome> outcomes =
            surveyDeals(path, firstSeed, dealCount, threadCount, limits, failure);
        if (outcomes.empty())
            return fail(failure);
        if (parser.isSet(list)) {
            for (quint32 i = 0; i < dealCount; ++i) {
                out() << "seed " << firstSeed + i << ": " << answerText(outcomes[i].answer) << ", "
                      << milliseconds(outcomes[i].milliseconds) << " ms, " << outcomes[i].nodes
                      << " positions" << Qt::endl;
            }
        }
        out() << summary(handler.name(), outcomes) << Qt::endl;
    }
    return exitSuccess;
}

}
