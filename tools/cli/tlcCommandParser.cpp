#include "tlcCommandParser.h"

#include "tlLayoutLocator.h"
#include "tlSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace tlc {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

int fail(const QString &message)
{
    static QTextStream stream(stderr);
    stream << QCoreApplication::applicationName() << ": " << message << Qt::endl;
    return exitFailure;
}

QString layoutArgumentDescription()
{
    return QStringLiteral("Layout file, or the name of a built-in or registered layout.");
}

QCommandLineOption seedOption(const QString &description)
{
    return QCommandLineOption(QStringLiteral("seed"), description, QStringLiteral("N"));
}

void loadUserLayouts()
{
    static bool loaded = false;
    if (!loaded) {
        tlSettings &settings = tlSettings::instance();
        settings.readSettings();
        settings.lendUserLayoutsToLocator();
    }
    loaded = true;
}

QString resolveLayout(const QString &argument)
{
    const QFileInfo file(argument);
    if (file.exists()) {
        if (file.isFile())
            return file.absoluteFilePath();
        fail(QStringLiteral("'%1' is not a layout file.").arg(argument));
        return QString();
    }
    // Built-in layouts never come from the player's registrations, so these need no
    // settings read.
    if (!tlSettings::isBuiltInLayout(argument))
        loadUserLayouts();
    const QString path = tlLayoutLocator::findLayoutFile(argument, 0);
    if (path.isEmpty())
        fail(QStringLiteral("found no layout file or layout named '%1'.").arg(argument));
    return path;
}

}

tlcCommandParser::tlcCommandParser(const QString &command, const QString &description)
    : commandName(command)
    , commandWords(command.isEmpty() ? 0 : 1)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    if (commandWords > 0)
        parser.addPositionalArgument(command, QStringLiteral("The command."), command);
}

QString tlcCommandParser::subject() const
{
    // Messages already begin with the program's name.
    return commandWords > 0 ? commandName : QStringLiteral("the program");
}

void tlcCommandParser::addArgument(const QString &name, const QString &description, bool optional)
{
    parser.addPositionalArgument(name, description,
                                 optional ? QStringLiteral("[%1]").arg(name) : name);
    argumentNames << name;
    if (!optional)
        requiredArguments = argumentNames.size();
}

void tlcCommandParser::addRepeatedArgument(const QString &name, const QString &description)
{
    parser.addPositionalArgument(name, description, QStringLiteral("%1 [%1...]").arg(name));
    argumentNames << name;
    requiredArguments = argumentNames.size();
    lastRepeats = true;
}

void tlcCommandParser::addOption(const QCommandLineOption &option)
{
    parser.addOption(option);
}

bool tlcCommandParser::parse(const QStringList &arguments)
{
    if (!parser.parse(arguments)) {
        tlc::fail(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(tlc::exitSuccess);

    const int given = parser.positionalArguments().size() - commandWords;
    if (given < requiredArguments) {
        const QString program = QCoreApplication::applicationName();
        const QString invocation =
            commandWords > 0 ? program + QLatin1Char(' ') + commandName : program;
        tlc::fail(QStringLiteral("%1 needs the argument %2. Try '%3 --help'.")
                      .arg(subject(), argumentNames.at(given), invocation));
        return false;
    }
    if (given > argumentNames.size() && !lastRepeats) {
        const QStringList extra =
            parser.positionalArguments().mid(argumentNames.size() + commandWords);
        tlc::fail(QStringLiteral("%1 does not take '%2'.")
                      .arg(subject(), extra.join(QLatin1Char(' '))));
        return false;
    }
    return true;
}

bool tlcCommandParser::isSet(const QCommandLineOption &option) const
{
    return parser.isSet(option);
}

QString tlcCommandParser::value(const QCommandLineOption &option) const
{
    return parser.value(option);
}

QString tlcCommandParser::argument(int index) const
{
    return parser.positionalArguments().value(index + commandWords);
}

QStringList tlcCommandParser::argumentsFrom(int index) const
{
    return parser.positionalArguments().mid(index + commandWords);
}

bool tlcCommandParser::require(const QCommandLineOption &option) const
{
    if (parser.isSet(option))
        return true;
    tlc::fail(QStringLiteral("%1 needs the option --%2 %3.")
                  .arg(subject(), option.names().constLast(), option.valueName()));
    return false;
}

bool tlcCommandParser::readNumber(const QCommandLineOption &option, quint32 low, quint32 high,
                                  quint32 &number) const
{
    if (!parser.isSet(option))
        return true;
    const QString text = parser.value(option);
    // Digits only: the conversion alone would also take a sign and surrounding spaces.
    const bool digitsOnly = !text.isEmpty()
        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
    bool ok = false;
    const qulonglong read = digitsOnly ? text.toULongLong(&ok) : 0;
    if (!ok || read < low || read > high) {
        tlc::fail(QStringLiteral("--%1 needs a whole number from %2 to %3, not '%4'.")
                      .arg(option.names().constLast())
                      .arg(low)
                      .arg(high)
                      .arg(text));
        return false;
    }
    number = quint32(read);
    return true;
}
