#include "tlHelpBrowser.h"

#include "tlDataDirectory.h"

#include "tlDiagnostics.h"
#include "tlVersion.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextStream>
#include <QTreeWidget>
#include <QUrl>

namespace {

const int contentsMaximumWidth = 250;
const int spacerWidth = 40;
const int spacerHeight = 20;
const int outerMargin = 5;
const int bottomMargin = 10;
const int spacing = 5;
const int initialWidth = 900;
const int initialHeight = 475;

const QChar commentMark = QLatin1Char('#');
const QChar fieldSeparator = QLatin1Char(',');
enum IndexField { LevelField, TitleField, FileField, FieldCount };
const QString chapterLevel = QStringLiteral("0");
const QString sectionLevel = QStringLiteral("1");

QString pageOf(const QTreeWidgetItem *item)
{
    return item->data(0, Qt::UserRole).toString();
}

}

tlHelpBrowser::tlHelpBrowser(const QString &indexFile, const QString &docsDirectory)
{
    setWindowModality(Qt::NonModal);
    setWindowTitle(tr("Help"));

    backButton = new QPushButton(tr("<"), this);
    backButton->setObjectName(QStringLiteral("backButton"));
    forwardButton = new QPushButton(tr(">"), this);
    forwardButton->setObjectName(QStringLiteral("forwardButton"));
    homeButton = new QPushButton(tr("Home"), this);
    homeButton->setObjectName(QStringLiteral("homeButton"));
    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    // Nothing to go back or forward to before the first page.
    backButton->setEnabled(false);
    forwardButton->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(backButton);
    buttons->addWidget(forwardButton);
    buttons->addWidget(homeButton);
    buttons->addItem(new QSpacerItem(spacerWidth, spacerHeight, QSizePolicy::Expanding,
                                     QSizePolicy::Minimum));
    buttons->addWidget(closeButton);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(outerMargin, outerMargin, outerMargin, bottomMargin);
    grid->setSpacing(spacing);
    grid->addLayout(buttons, 0, 0, 1, 2);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    contents = new QTreeWidget(splitter);
    contents->setObjectName(QStringLiteral("contents"));
    contents->setMaximumWidth(contentsMaximumWidth);
    contents->setHeaderHidden(true);
    contents->clear();
    browser = new QTextBrowser(splitter);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setOpenExternalLinks(true);
    splitter->addWidget(contents);
    splitter->addWidget(browser);
    grid->addWidget(splitter, 1, 0);
    resize(initialWidth, initialHeight);

    readIndex(indexFile);
    // The manual is short enough for its whole contents to show at once.
    contents->expandAll();
    browser->setSearchPaths({docsDirectory});

    connect(closeButton, &QPushButton::clicked, this, &tlHelpBrowser::hide);
    connect(homeButton, &QPushButton::clicked, this, &tlHelpBrowser::goHome);
    connect(backButton, &QPushButton::clicked, this, &tlHelpBrowser::goBackward);
    connect(forwardButton, &QPushButton::clicked, this, &tlHelpBrowser::goForward);
    connect(browser, &QTextBrowser::sourceChanged, this, &tlHelpBrowser::updateCaption);
    // The contents follow the page shown, however it was reached: the tree, a link in a
    // page, or the history.
    connect(browser, &QTextBrowser::sourceChanged, this, &tlHelpBrowser::showPageInContents);
    connect(contents, &QTreeWidget::itemClicked, this, &tlHelpBrowser::itemSelected);
    connect(browser, &QTextBrowser::forwardAvailable, forwardButton, &QPushButton::setEnabled);
    connect(browser, &QTextBrowser::backwardAvailable, backButton, &QPushButton::setEnabled);

    itemSelected(contents->topLevelItem(0));
    browser->home();
}

void tlHelpBrowser::readIndex(const QString &indexFile)
{
    QFile file(indexFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QMessageBox::warning(nullptr, QString::fromLatin1(tl::productName),
                             tr("Cannot open the index descriptor file to setup the "
                                "documentation. No online help will be available. Check your "
                                "installation and reinstall if necessary."));
        return;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QTreeWidgetItem *chapter = nullptr;
    int lineNumber = 0;
    // Says why a line of the index is left out; the rest of the index still counts.
    const auto skip = [&](const QString &why) {
        tl::diagnose("tlHelpBrowser::readIndex",
                     {QStringLiteral("Line %1 of '%2' skipped: %3")
                          .arg(QString::number(lineNumber), indexFile, why)});
    };
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(commentMark))
            continue;
        // Taken exactly as written, so a title cannot hold a comma.
        const QStringList fields = line.split(fieldSeparator);
        if (fields.size() != FieldCount) {
            skip(QStringLiteral("%1 fields instead of level,title,file (a title cannot hold "
                                "a comma).").arg(fields.size()));
            continue;
        }
        QTreeWidgetItem *item = nullptr;
        if (fields[LevelField] == chapterLevel) {
            item = chapter = new QTreeWidgetItem(contents);
        } else if (fields[LevelField] == sectionLevel) {
            if (!chapter) {
                skip(QStringLiteral("a section before the first chapter."));
                continue;
            }
            item = new QTreeWidgetItem(chapter);
        } else {
            skip(QStringLiteral("level '%1' is neither %2 (chapter) nor %3 (section).")
                     .arg(fields[LevelField], chapterLevel, sectionLevel));
            continue;
        }
        item->setText(0, fields[TitleField]);
        item->setData(0, Qt::UserRole, fields[FileField]);
        itemsByFile.insert(fields[FileField], item);
    }
}

void tlHelpBrowser::updateCaption()
{
    setWindowTitle(tr("Help: %1").arg(browser->documentTitle()));
}

void tlHelpBrowser::itemSelected(QTreeWidgetItem *item)
{
    if (item)
        browser->setSource(QUrl(pageOf(item)));
}

void tlHelpBrowser::showPage(const QString &page)
{
    browser->setSource(QUrl(page));
}

void tlHelpBrowser::goHome()
{
    browser->home();
}

void tlHelpBrowser::goForward()
{
    browser->forward();
}

void tlHelpBrowser::goBackward()
{
    browser->backward();
}

// The browser tells the new page before source() returns it.
void tlHelpBrowser::showPageInContents(const QUrl &source)
{
    const QString page = source.fileName();
    const QTreeWidgetItem *current = contents->currentItem();
    // An index that names a page twice keeps the entry the player clicked.
    if (current && QUrl(pageOf(current)).fileName() == page)
        return;
    // A page that is not in the index has no entry, and none stays selected.
    contents->setCurrentItem(itemsByFile.value(page));
}

std::unique_ptr<tlHelpBrowser> tlHelpBrowser::forInstalledDocs(QString &problem)
{
    const QString index = QStringLiteral("doc.index");
    const QDir docs = findDataDirectory("docs");
    if (dataDirectoryFound(docs) && docs.exists(index))
        return std::make_unique<tlHelpBrowser>(docs.filePath(index), docs.path());
    problem = dataDirectoryFound(docs)
        ? tr("Cannot find the index descriptor to setup the documentation. No online help will be "
             "available. Check your installation and reinstall if necessary.")
        : tr("Cannot find the directory holding the documentation (docs). No online help will be "
             "available. Check your installation and reinstall if necessary.");
    return nullptr;
}
