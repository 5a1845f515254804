#include "tlTestEnvironment.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace {

// The product's folders, lowest layer first. A file may include headers of its own
// folder and of lower layers only; the programs at the top (the game and the layout
// designer) share a rank, so neither may include the other.
struct Layer
{
    QString folder;
    int rank;
};

const QVector<Layer> layers = {
    {QStringLiteral("engine"), 0}, {QStringLiteral("records"), 1},
    {QStringLiteral("board"), 2},  {QStringLiteral("dialogs"), 3},
    {QStringLiteral("app"), 4},    {QStringLiteral("designer"), 4},
};

const QStringList sourcePatterns = {QStringLiteral("*.cpp"), QStringLiteral("*.h")};

QDir sourceDir()
{
    return QDir(QStringLiteral(TILVANE_SOURCE_DIR));
}

QStringList filesOf(const Layer &layer, const QStringList &patterns)
{
    // A folder that is not there yet simply has no files.
    return QDir(sourceDir().filePath(layer.folder)).entryList(patterns, QDir::Files, QDir::Name);
}

const Layer *layerOfFolder(const QString &canonicalFolder)
{
    for (const Layer &layer : layers) {
        if (QDir(sourceDir().filePath(layer.folder)).canonicalPath() == canonicalFolder)
            return &layer;
    }
    return nullptr;
}

}

class LayersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void includesRunDownward_data();
    void includesRunDownward();

private:
    // Which layer a bare include name belongs to, by the folder that holds the header.
    QHash<QString, const Layer *> headers;
};

void LayersTest::initTestCase()
{
    QStringList ambiguous;
    for (const Layer &layer : layers) {
        for (const QString &header : filesOf(layer, {QStringLiteral("*.h")})) {
            // The libraries' include paths find a header by its bare name, so one name
            // in two folders would make the layering depend on the search order.
            if (headers.contains(header))
                ambiguous << QStringLiteral("%1 in %2 and %3")
                                 .arg(header, headers.value(header)->folder, layer.folder);
            headers.insert(header, &layer);
        }
    }
    QVERIFY2(headers.contains(QStringLiteral("tlLayoutHandler.h")),
             "no engine headers under " TILVANE_SOURCE_DIR);
    QVERIFY2(ambiguous.isEmpty(), qPrintable(ambiguous.join(QLatin1Char('\n'))));
}

void LayersTest::includesRunDownward_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("layerIndex");
    for (int index = 0; index < layers.size(); ++index) {
        for (const QString &file : filesOf(layers.at(index), sourcePatterns)) {
            const QString relative = layers.at(index).folder + QLatin1Char('/') + file;
            QTest::newRow(qPrintable(relative)) << relative << index;
        }
    }
}

void LayersTest::includesRunDownward()
{
    QFETCH(QString, path);
    QFETCH(int, layerIndex);
    const Layer &own = layers.at(layerIndex);
    QFile file(sourceDir().filePath(path));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));

    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""));
    const QDir folder = QFileInfo(file).dir();
    QStringList upward;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QRegularExpressionMatch match = include.match(QString::fromUtf8(file.readLine()));
        if (!match.hasMatch())
            continue;
        const QString included = match.captured(1);
        // A path relative to the file itself wins, as it does for the compiler; names
        // that no product folder holds (Qt's, generated files) belong to no layer.
        const QFileInfo beside(folder, included);
        const Layer *layer = beside.exists() ? layerOfFolder(beside.canonicalPath())
                                             : headers.value(included);
        if (layer && layer != &own && layer->rank >= own.rank) {
            upward << QStringLiteral("%1:%2: includes \"%3\" from %4/, which %5/ may not use")
                          .arg(path)
                          .arg(lineNumber)
                          .arg(included, layer->folder, own.folder);
        }
    }
    QVERIFY2(upward.isEmpty(), qPrintable(upward.join(QLatin1Char('\n'))));
}

TILVANE_TEST_MAIN(LayersTest, QCoreApplication)
#include "tst_layers.moc"
