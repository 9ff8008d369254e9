// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include "base/Geometry.h"
#include "cli/BatchFilter.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct Options {
    QCommandLineOption help{{"h", "help"}, "Print this help and exit."};
    QCommandLineOption version{{"v", "version"}, "Print the version and exit."};
    QCommandLineOption fonts{"fonts", "List the text tools' fonts."};
    QCommandLineOption watermarks{"watermarks", "List the saved watermarks."};
    QCommandLineOption filter{"filter", "Bake a filter into a picture.", "NAME[:PARAM=VALUE,...]"};
    QCommandLineOption output{"output", "Where --filter writes its result.", "OUT"};
    QCommandLineOption longEdge{"long-edge", "Reduce the picture to N pixels on its longer side.", "N"};
    QCommandLineOption resize{"resize", "Resample the picture to W x H pixels.", "WxH"};
    QCommandLineOption recipe{"recipe", "Decorate photos with a project's steps.", "FILE"};
    QCommandLineOption watermark{"watermark", "Mark photos with a saved watermark.", "NAME"};
    QCommandLineOption outputDir{"output-dir", "Where --recipe writes the photos.", "DIR"};
    QCommandLineOption format{"format", "The decorated photos' format.", "EXT"};
    QCommandLineOption quality{"quality", "JPEG and WebP quality.", "Q"};
    QCommandLineOption name{"name", "The decorated photos' name pattern.", "PATTERN"};
    QCommandLineOption jobs{"jobs", "Photos made at once.", "N"};
    QCommandLineOption overwrite{"overwrite", "Replace decorated photos that already exist."};

    void addTo(QCommandLineParser& parser) const {
        for (const QCommandLineOption* option :
             {&help, &version, &fonts, &watermarks, &filter, &output, &longEdge, &resize, &recipe, &watermark,
              &outputDir, &format, &quality, &name, &jobs, &overwrite})
            parser.addOption(*option);
    }
    // The options that only batch decoration takes (--long-edge serves both it and a single picture).
    QList<const QCommandLineOption*> decorationOnly() const {
        return {&outputDir, &format, &quality, &name, &jobs, &overwrite};
    }
    // The options of a single picture's job, which batch decoration does not take.
    QList<const QCommandLineOption*> singlePictureOnly() const { return {&filter, &output, &resize}; }
};

// A side in pixels as typed: a whole number a picture can have, or nothing.
std::optional<int> sideOf(const QString& text) {
    bool ok = false;
    const int side = text.trimmed().toInt(&ok);
    return ok && side >= 1 && side <= largestPictureSide ? std::optional<int>(side) : std::nullopt;
}

// A whole number within [low, high] given to `option`, or a usage error.
std::optional<int> numberOf(const QCommandLineParser& parser, const QCommandLineOption& option, int low,
                            int high, QString* error) {
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    *error = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\".")
                 .arg(option.names().constLast())
                 .arg(low)
                 .arg(high)
                 .arg(parser.value(option));
    return std::nullopt;
}

// Reads the batch decoration's options into `line`; returns the usage error, empty when there is none.
QString readDecoration(const QCommandLineParser& parser, const Options& options, CommandLine& line) {
    CommandLine::Decoration& decoration = line.decoration;
    decoration.recipe = parser.value(options.recipe);
    decoration.watermark = parser.value(options.watermark);
    const QString job =
        parser.isSet(options.recipe) ? QStringLiteral("--recipe") : QStringLiteral("--watermark");
    if (parser.isSet(options.watermark) && decoration.watermark.trimmed().isEmpty())
        return QStringLiteral("--watermark needs the name of a saved watermark.");
    decoration.outputFolder = parser.value(options.outputDir);
    if (decoration.outputFolder.isEmpty())
        return job + QStringLiteral(" needs --output-dir DIR, the folder the photos go to.");
    if (line.files.isEmpty())
        return job + QStringLiteral(" needs the photos to decorate.");
    QString error;
    const auto number = [&](const QCommandLineOption& option, int low, int high, int& into) {
        if (!error.isEmpty() || !parser.isSet(option))
            return;
        if (const std::optional<int> value = numberOf(parser, option, low, high, &error))
            into = *value;
    };
    decoration.longEdge = line.longEdge;
    number(options.quality, 1, 100, decoration.quality);
    number(options.jobs, 1, 256, decoration.jobs);
    if (!error.isEmpty())
        return error;
    if (parser.isSet(options.format)) {
        decoration.format = parser.value(options.format).toLower();
        if (decoration.format.startsWith('.'))
            decoration.format.remove(0, 1);
    }
    if (parser.isSet(options.name)) {
        decoration.namePattern = parser.value(options.name);
        if (decoration.namePattern.isEmpty() || decoration.namePattern.contains('/'))
            return QStringLiteral("--name takes a file name pattern without folders, such as {name}-lumora.");
    }
    decoration.overwrite = parser.isSet(options.overwrite);
    return {};
}

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
    if (parser.isSet(options.longEdge) && parser.isSet(options.resize))
        return {std::nullopt,
                QStringLiteral("--long-edge and --resize cannot be used together; choose one.")};
    if (parser.isSet(options.longEdge)) {
        const std::optional<int> side = sideOf(parser.value(options.longEdge));
        if (!side)
            return {std::nullopt,
                    QStringLiteral("--long-edge needs a whole number of pixels from 1 to %1, not "
                                   "\"%2\".")
                        .arg(largestPictureSide)
                        .arg(parser.value(options.longEdge))};
        line.longEdge = *side;
    }
    if (parser.isSet(options.resize)) {
        static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\s*[x×X]\\s*(\\d+)\\s*$"));
        const QRegularExpressionMatch match = pattern.match(parser.value(options.resize));
        const std::optional<int> width = match.hasMatch() ? sideOf(match.captured(1)) : std::nullopt;
        const std::optional<int> height = match.hasMatch() ? sideOf(match.captured(2)) : std::nullopt;
        if (!width || !height || !isMakeablePictureSize({*width, *height}))
            return {std::nullopt,
                    QStringLiteral(
                        "--resize needs WIDTHxHEIGHT in pixels, such as 1920x1080 (each side from 1 to "
                        "%1, at most %2 megapixels), not \"%3\".")
                        .arg(largestPictureSide)
                        .arg(largestPictureArea / 1'000'000)
                        .arg(parser.value(options.resize))};
        line.size = QSize(*width, *height);
    }
    if (parser.isSet(options.help))
        line.job = CommandLineJob::Help;
    else if (parser.isSet(options.version))
        line.job = CommandLineJob::Version;
    else if (parser.isSet(options.fonts))
        line.job = CommandLineJob::Fonts;
    else if (parser.isSet(options.watermarks))
        line.job = CommandLineJob::Watermarks;
    else if (parser.isSet(options.recipe) || parser.isSet(options.watermark))
        line.job = CommandLineJob::Decorate;
    else if (parser.isSet(options.filter) || line.longEdge > 0 || line.size.isValid())
        line.job = CommandLineJob::Filter; // resizing alone, or before the filter
    else if (parser.isSet(options.output))
        return {std::nullopt, QStringLiteral("--output is for --filter; give a filter too.")};
    if (line.job == CommandLineJob::Decorate) {
        for (const QCommandLineOption* option : options.singlePictureOnly())
            if (parser.isSet(*option))
                return {std::nullopt, QStringLiteral("--%1 is for a single picture, not for %2.")
                                          .arg(option->names().constLast(),
                                               parser.isSet(options.recipe) ? "--recipe" : "--watermark")};
        if (const QString error = readDecoration(parser, options, line); !error.isEmpty())
            return {std::nullopt, error};
    } else if (line.job != CommandLineJob::Help && line.job != CommandLineJob::Version) {
        for (const QCommandLineOption* option : options.decorationOnly())
            if (parser.isSet(*option))
                return {std::nullopt, QStringLiteral("--%1 is for --recipe; give a recipe too.")
                                          .arg(option->names().constLast())};
    }
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
               "  lumora (--long-edge N | --resize WxH) [--filter ...] --output OUT IN\n"
               "  lumora --recipe FILE.lumora --output-dir DIR [OPTIONS] PHOTO...\n"
               "  lumora --watermark NAME --output-dir DIR [OPTIONS] PHOTO...\n"
               "  lumora --fonts | --watermarks\n"
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
               "Resizing a picture (no display needed), alone or before --filter:\n"
               "  --long-edge N             Reduce the picture to N pixels on its longer side, keeping its\n"
               "                            proportions (a smaller picture keeps its size).\n"
               "  --resize WxH              Resample the picture to W x H pixels.\n"
               "  --output OUT              Where the result goes; its extension names the format.\n"
               "  Example: lumora --long-edge 2048 --filter sepia --output web.jpg photo.jpg\n"
               "\n"
               "Decorating photos with a project's steps (no display needed):\n"
               "  --recipe FILE.lumora      The steps after the project's opening are made again on each\n"
               "                            PHOTO, fitted to its size and orientation.\n"
               "  --output-dir DIR          Where the decorated photos go (made when missing).\n"
               "  --long-edge N             Reduce each result to N pixels on its longer side.\n"
               "  --format EXT              Write EXT (jpg, png, webp, tif, bmp, gif); each\n"
               "                            photo's own by default.\n"
               "  --quality Q               JPEG and WebP quality, 1 to 100 (default 92).\n"
               "  --watermark NAME          Then mark each photo with the watermark saved under NAME in the\n"
               "                            watermark window (also without --recipe).\n"
               "  --name PATTERN            Output names: {name} the photo's, {n} its number, {date} its\n"
               "                            file's date, {year}, {exif:Artist} and the other EXIF fields of\n"
               "                            watermarks (default {name}-lumora).\n"
               "  --jobs N                  Photos made at once, 1 to 256 (default: one a core).\n"
               "  --overwrite               Replace outputs that exist; photos themselves never are.\n"
               "  A photo that fails is named with its reason on standard error and the others go on;\n"
               "  the exit status is 1 when any failed.\n"
               "  Example: lumora --recipe card.lumora --output-dir out --long-edge 2048 photos/*.jpg\n"
               "  Example: lumora --watermark studio --output-dir out --long-edge 2048 photos/*.jpg\n"
               "\n"
               "Listing the fonts (no display needed):\n"
               "  --fonts                   Each font of the text tools with the installed family and font\n"
               "                            file it gets, tab-separated.\n"
               "  Example: lumora --fonts | grep Impact\n"
               "\n"
               "Listing the saved watermarks (no display needed):\n"
               "  --watermarks              The names --watermark takes, one a line.\n"
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
