// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include "app/BatchFilter.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct Options {
    QCommandLineOption help{{"h", "help"}, "Print this help and exit."};
    QCommandLineOption version{{"v", "version"}, "Print the version and exit."};
    QCommandLineOption fonts{"fonts", "List the text tools' fonts."};
    QCommandLineOption filter{"filter", "Bake a filter into a picture.", "NAME[:PARAM=VALUE,...]"};
    QCommandLineOption output{"output", "Where --filter writes its result.", "OUT"};

    void addTo(QCommandLineParser& parser) const {
        for (const QCommandLineOption* option : {&help, &version, &fonts, &filter, &output})
            parser.addOption(*option);
    }
};

} // namespace

CommandLineParse parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const Options options;
    options.addTo(parser);
    if (!parser.parse(QStringList{QStringLiteral("lumora")} + arguments))
        return {std::nullopt, parser.errorText()};

    CommandLine line;
    line.files = parser.positionalArguments();
    line.filter = parser.value(options.filter);
    line.output = parser.value(options.output);
    if (parser.isSet(options.help))
        line.job = CommandLineJob::Help;
    else if (parser.isSet(options.version))
        line.job = CommandLineJob::Version;
    else if (parser.isSet(options.fonts))
        line.job = CommandLineJob::Fonts;
    else if (parser.isSet(options.filter))
        line.job = CommandLineJob::Filter;
    else if (parser.isSet(options.output))
        return {std::nullopt, QStringLiteral("--output is for --filter; give a filter too.")};
    return {line, {}};
}

QString usageErrorLine(const QString& error) {
    QString line = error.trimmed();
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("lumora: %1 Try 'lumora --help'.").arg(line);
}

QString commandLineHelp() {
    QString filters = batchFilterHelp();
    filters.replace(QRegularExpression(QStringLiteral("^"), QRegularExpression::MultilineOption),
                    QStringLiteral("  "));
    return QStringLiteral(
               "Lumora, a picture editor for decorating photographs.\n"
               "\n"
               "Usage:\n"
               "  lumora [FILE]\n"
               "  lumora --filter NAME[:PARAM=VALUE,...] --output OUT IN\n"
               "  lumora --fonts\n"
               "  lumora --help | --version\n"
               "\n"
               "Opening the window:\n"
               "  FILE                      A picture or a Lumora project (.lumora) to open at start.\n"
               "  Example: lumora holiday.jpg\n"
               "\n"
               "Filtering a picture (no display needed):\n"
               "  --filter NAME[:PARAM=VALUE,...]\n"
               "                            Bake a filter into IN, exactly as the filter gallery's \"Ok\" "
               "does.\n"
               "  --output OUT              Where the result goes; its extension names the format.\n"
               "  Example: lumora --filter blur:softness=0.05 --output soft.png photo.jpg\n"
               "%1"
               "\n"
               "Listing the fonts (no display needed):\n"
               "  --fonts                   Each font of the text tools with the installed family and font\n"
               "                            file it gets, tab-separated.\n"
               "  Example: lumora --fonts | grep Impact\n"
               "\n"
               "Other options:\n"
               "  -h, --help                Print this help and exit.\n"
               "  -v, --version             Print the version and exit.\n"
               "\n"
               "Exit status: 0 done, 1 a job failed (a file unreadable, a write refused), 2 a usage error "
               "(an\n"
               "unknown option, a missing value, a bad number).\n")
        .arg(filters);
}

bool windowSystemAvailable() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return false;
    // A local display (":0", "unix:0.0") has its socket in the X11 folder; another host's is trusted.
    static const QRegularExpression local(QStringLiteral("^(unix)?:(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch match = local.match(display);
    if (!match.hasMatch())
        return true;
    return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + match.captured(2));
}
