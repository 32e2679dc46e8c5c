// Times a program and one or more yardsticks from being started to the first
// paint of their main window, taking turns, and prints the medians and the
// program's ratio to each yardstick. A ratio against a bare Qt program of the
// same shape says what our own start-up adds, and unlike milliseconds it means
// the same on a slow machine and a fast one.
//
// The programs timed are the benchmark's own builds, which print "shown" at
// the first paint and end at once; the programs that ship never do.
//
// Each program is run from a copy in a temporary folder: the main program
// reads and writes its data files beside its program file, so a run from the
// build's own bin/ folder would leave files there and time whatever an
// earlier run happened to leave behind. For the same reason the programs keep
// their copies of unsaved work in a folder of the benchmark's own, removed
// after it, never in the user's home.
//
// Where valgrind is installed, each program also runs once under callgrind,
// and the instructions it takes to the first paint are set side by side: a
// figure that a busy machine does not move. Beside every ratio stand the
// number of fonts installed and the Qt version, the two things outside the
// programs that have been seen to move the figures most.

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int defaultRuns = 30;
constexpr int warmUpRuns = 2;
constexpr qint64 runTimeoutMs = 20000;
// Under callgrind a start takes about fifty times as long.
constexpr qint64 countedRunTimeoutMs = 300000;
const QByteArray shownLine = QByteArrayLiteral("shown\n");

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// A program folder of our own, holding nothing but a copy of the program file.
class ProgramCopy
{
public:
    static std::unique_ptr<ProgramCopy> make(const QString &sourceProgram, QString *error)
    {
        auto copy = std::unique_ptr<ProgramCopy>(new ProgramCopy);
        if (!copy->m_folder.isValid()) {
            *error = QStringLiteral("cannot create a temporary folder: ") + copy->m_folder.errorString();
            return nullptr;
        }
        copy->m_program = copy->m_folder.filePath(QFileInfo(sourceProgram).fileName());
        QFile source(sourceProgram);
        if (!source.copy(copy->m_program)) {
            *error = QStringLiteral("cannot copy %1: %2").arg(sourceProgram, source.errorString());
            return nullptr;
        }
        QFile::setPermissions(copy->m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return copy;
    }

    QString program() const { return m_program; }
    QString folder() const { return m_folder.path(); }

private:
    ProgramCopy() = default;

    QTemporaryDir m_folder;
    QString m_program;
};

struct Subject
{
    QString name;
    QString sourceProgram;
    std::unique_ptr<ProgramCopy> steadyCopy;
    std::vector<double> timesMs;
    int failedRuns = 0;
    std::optional<qint64> instructions;
    // As the program's last run reported it.
    QString imagePlugins = QStringLiteral("?");
};

struct RunResult
{
    std::optional<double> ms;
    QString failure;
    QString imagePlugins;
};

RunResult timeOneRun(const QString &program, const QString &workingFolder, const QProcessEnvironment &environment,
                     const QStringList &arguments = {}, qint64 timeoutMs = runTimeoutMs)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());

    RunResult result;
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    process.start(QIODevice::ReadOnly);
    for (;;) {
        output += process.readAllStandardOutput();
        if (output.contains(shownLine)) {
            result.ms = double(timer.nsecsElapsed()) / 1e6;
            break;
        }
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0) {
            // Most often a message box during start-up, which waits for a
            // click that never comes before the window is shown.
            result.failure
                = QStringLiteral("no \"shown\" within %1 s (a message box at start-up?)").arg(timeoutMs / 1000);
            break;
        }
        if (!process.waitForReadyRead(int(left)) && process.state() == QProcess::NotRunning) {
            output += process.readAllStandardOutput();
            if (output.contains(shownLine)) {
                result.ms = double(timer.nsecsElapsed()) / 1e6;
            } else if (process.error() == QProcess::FailedToStart) {
                result.failure = QStringLiteral("failed to start: ") + process.errorString();
            } else {
                result.failure = QStringLiteral("ended with exit code %1 without \"shown\"").arg(process.exitCode());
            }
            break;
        }
    }

    // The program ends by itself right after reporting; one that hangs on is
    // ended so that it cannot slow down the runs after it.
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(result.ms ? 5000 : 0)) {
        process.kill();
        process.waitForFinished(5000);
    }
    const QRegularExpressionMatch plugins
        = QRegularExpression(QStringLiteral("^image plugins (-?\\d+)$"), QRegularExpression::MultilineOption)
              .match(QString::fromLatin1(output));
    if (plugins.hasMatch())
        result.imagePlugins = plugins.captured(1);
    if (!result.ms) {
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (!errors.isEmpty())
            result.failure += QStringLiteral("; its error output:\n") + errors.right(2000);
    }
    return result;
}

// Returns false when the run failed (and says why on stderr).
bool runOnce(Subject &subject, bool firstStart, const QProcessEnvironment &environment, bool counted)
{
    std::unique_ptr<ProgramCopy> freshCopy;
    const ProgramCopy *copy = subject.steadyCopy.get();
    if (firstStart) {
        QString error;
        freshCopy = ProgramCopy::make(subject.sourceProgram, &error);
        if (!freshCopy) {
            err() << subject.name << ": " << error << Qt::endl;
            return false;
        }
        copy = freshCopy.get();
    }

    const RunResult result = timeOneRun(copy->program(), copy->folder(), environment);
    if (!result.ms) {
        err() << subject.name << (counted ? ": run failed: " : ": warm-up run failed: ") << result.failure << Qt::endl;
        if (counted)
            ++subject.failedRuns;
        return false;
    }
    if (counted)
        subject.timesMs.push_back(*result.ms);
    if (!result.imagePlugins.isEmpty())
        subject.imagePlugins = result.imagePlugins;
    return true;
}

// The instructions a program takes from its start to its first paint (where
// the probe ends it), as callgrind counts them, in the folder the timed runs
// used.
bool countInstructions(Subject &subject, const QString &valgrind, bool firstStart,
                       const QProcessEnvironment &environment)
{
    std::unique_ptr<ProgramCopy> freshCopy;
    const ProgramCopy *copy = subject.steadyCopy.get();
    QString error;
    if (firstStart) {
        freshCopy = ProgramCopy::make(subject.sourceProgram, &error);
        copy = freshCopy.get();
    }
    QTemporaryDir countsFolder;
    if (!copy || !countsFolder.isValid()) {
        err() << subject.name << ": cannot count instructions: " << error << countsFolder.errorString() << Qt::endl;
        return false;
    }
    const QString countsFile = countsFolder.filePath(QStringLiteral("callgrind.out"));
    const RunResult result = timeOneRun(
        valgrind, copy->folder(), environment,
        {QStringLiteral("--tool=callgrind"), QStringLiteral("--callgrind-out-file=") + countsFile, copy->program()},
        countedRunTimeoutMs);
    QFile counts(countsFile);
    if (!result.ms || !counts.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err() << subject.name << ": the run under callgrind failed: " << result.failure << Qt::endl;
        return false;
    }
    static const QRegularExpression total(QStringLiteral("^(?:summary|totals): (\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = total.match(QString::fromLatin1(counts.readAll()));
    if (found.hasMatch())
        subject.instructions = found.captured(1).toLongLong();
    return subject.instructions.has_value();
}

// What the figures ran on, to stand beside each ratio: the figures of two
// rounds compare only where these are the same. The font configuration reads
// every installed font at start, so their number moves every program's start.
QString setting()
{
    QProcess fcList;
    fcList.start(QStringLiteral("fc-list"), {}, QIODevice::ReadOnly);
    QString fonts = QStringLiteral("?");
    if (fcList.waitForFinished(30000) && fcList.exitStatus() == QProcess::NormalExit && fcList.exitCode() == 0)
        fonts = QString::number(fcList.readAllStandardOutput().count('\n'));
    return QStringLiteral("[fonts %1, Qt %2]").arg(fonts, QString::fromLatin1(qVersion()));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2.0;
}

QString ms(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" ms");
}

void printFigures(const Subject &subject, int nameWidth, int runs)
{
    out() << subject.name.leftJustified(nameWidth) << "  ";
    if (subject.timesMs.empty()) {
        out() << "no successful run" << Qt::endl;
        return;
    }
    const auto [minimum, maximum] = std::minmax_element(subject.timesMs.begin(), subject.timesMs.end());
    out() << "median " << ms(median(subject.timesMs)).rightJustified(10) << "   min " << ms(*minimum).rightJustified(10)
          << "   max " << ms(*maximum).rightJustified(10) << "   (" << subject.timesMs.size() << " of " << runs
          << " runs)   image plugins loaded " << subject.imagePlugins << Qt::endl;
}

struct Options
{
    std::vector<Subject> subjects;
    int runs = defaultRuns;
    bool firstStart = false;
    bool countInstructions = true;
    // The goals for A / B, A / C, ... in that order; a yardstick past the
    // last goal has none.
    std::vector<double> goals;
};

// Returns no options (after printing why) when the command line is wrong.
std::optional<Options> parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times a program A and one or more yardsticks B, C, ... from start to the first paint of "
                       "their main window, taking turns, and prints the medians and the ratios A / B, A / C, ... "
                       "Every program must print \"shown\" at that moment and may end there (the bench "
                       "builds in the bench folder do)."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Timed runs of each program (default %1).").arg(defaultRuns),
                                        QStringLiteral("N"), QString::number(defaultRuns));
    const QCommandLineOption firstStartOption(
        QStringLiteral("first-start"),
        QStringLiteral("Run every start from a fresh folder, as a first start. By default each program keeps "
                       "one folder for all its runs, so the timed runs see the steady state."));
    const QCommandLineOption goalOption(
        QStringLiteral("goal"),
        QStringLiteral("Say whether the ratio A / B is at most this value, in time and in instructions. Given "
                       "again, the goal for A / C, and so on."),
        QStringLiteral("ratio"));
    const QCommandLineOption noInstructionsOption(
        QStringLiteral("no-instructions"),
        QStringLiteral("Do not run each program once under callgrind to count its instructions to the first "
                       "paint (done by default where valgrind is on PATH)."));
    parser.addOption(runsOption);
    parser.addOption(firstStartOption);
    parser.addOption(goalOption);
    parser.addOption(noInstructionsOption);
    parser.addPositionalArgument(QStringLiteral("nameA"), QStringLiteral("Name to print for program A."));
    parser.addPositionalArgument(QStringLiteral("programA"), QStringLiteral("Program file A."));
    parser.addPositionalArgument(QStringLiteral("nameB"), QStringLiteral("Name to print for yardstick B."));
    parser.addPositionalArgument(QStringLiteral("programB"), QStringLiteral("Program file B."),
                                 QStringLiteral("nameB programB [nameC programC ...]"));
    parser.process(app);

    Options options;
    const QStringList arguments = parser.positionalArguments();
    bool runsOk = false;
    options.runs = parser.value(runsOption).toInt(&runsOk);
    bool goalsOk = true;
    for (const QString &value : parser.values(goalOption)) {
        bool goalOk = false;
        options.goals.push_back(value.toDouble(&goalOk));
        goalsOk = goalsOk && goalOk && options.goals.back() > 0.0;
    }
    if (arguments.size() < 4 || arguments.size() % 2 != 0 || !runsOk || options.runs < 1 || !goalsOk
        || qsizetype(options.goals.size()) > arguments.size() / 2 - 1) {
        err() << parser.helpText();
        return std::nullopt;
    }
    options.firstStart = parser.isSet(firstStartOption);
    options.countInstructions = !parser.isSet(noInstructionsOption);

    options.subjects.resize(std::size_t(arguments.size() / 2));
    for (std::size_t i = 0; i < options.subjects.size(); ++i) {
        Subject &subject = options.subjects[i];
        subject.name = arguments.at(qsizetype(2 * i));
        subject.sourceProgram = QFileInfo(arguments.at(qsizetype(2 * i + 1))).absoluteFilePath();
        if (!QFileInfo(subject.sourceProgram).isExecutable() || !QFileInfo(subject.sourceProgram).isFile()) {
            err() << subject.name << ": no program file " << subject.sourceProgram << Qt::endl;
            return std::nullopt;
        }
        if (!options.firstStart) {
            QString error;
            subject.steadyCopy = ProgramCopy::make(subject.sourceProgram, &error);
            if (!subject.steadyCopy) {
                err() << subject.name << ": " << error << Qt::endl;
                return std::nullopt;
            }
        }
    }
    return options;
}

void printHeading(const Options &options, const QProcessEnvironment &environment)
{
    QStringList yardsticks;
    for (std::size_t i = 1; i < options.subjects.size(); ++i)
        yardsticks << options.subjects[i].name;
    out() << "Start-up to first paint: " << options.subjects[0].name << " vs " << yardsticks.join(QStringLiteral(", "))
          << ", platform " << environment.value(QStringLiteral("QT_QPA_PLATFORM")) << ", " << options.runs
          << " runs each, taking turns, after " << warmUpRuns << " warm-up runs each" << Qt::endl;
    if (options.firstStart)
        out() << "First start: every run starts from a fresh copy of the program in an empty folder" << Qt::endl;
    else
        out() << "Steady state: each program runs from one copy in a folder of its own, kept from run to run"
              << Qt::endl;
}

// Returns false when a program got through none of its warm-up runs.
bool runAll(Options &options, const QProcessEnvironment &environment)
{
    // A program that cannot get through one warm-up run will not get through
    // the timed ones either; say so now rather than after minutes of time-outs.
    std::vector<int> warmUpsPassed(options.subjects.size(), 0);
    for (int round = 0; round < warmUpRuns; ++round) {
        for (std::size_t i = 0; i < options.subjects.size(); ++i)
            warmUpsPassed[i] += runOnce(options.subjects[i], options.firstStart, environment, false) ? 1 : 0;
    }
    for (std::size_t i = 0; i < options.subjects.size(); ++i) {
        if (warmUpsPassed[i] == 0) {
            err() << options.subjects[i].name << ": every warm-up run failed; no timed runs made" << Qt::endl;
            return false;
        }
    }
    for (int round = 0; round < options.runs; ++round) {
        for (Subject &subject : options.subjects)
            runOnce(subject, options.firstStart, environment, true);
    }
    return true;
}

void printInstructions(const Subject &subject, int nameWidth)
{
    out() << subject.name.leftJustified(nameWidth) << "  ";
    if (subject.instructions)
        out() << QString::number(double(*subject.instructions) / 1e6, 'f', 1) << " M instructions to the first paint";
    else
        out() << "no count of instructions";
    out() << Qt::endl;
}

// A goal of 0 is none.
void printRatio(const QString &what, double ratio, double goal, const QString &setting)
{
    out() << what << ": " << QString::number(ratio, 'f', 2);
    if (goal > 0.0)
        out() << " (goal <= " << QString::number(goal, 'f', 2) << ": " << (ratio <= goal ? "met" : "MISSED") << ")";
    out() << "  " << setting << Qt::endl;
}

void printRatios(const Options &options, const QString &setting)
{
    const std::vector<Subject> &subjects = options.subjects;
    const Subject &program = subjects[0];
    for (std::size_t i = 1; i < subjects.size(); ++i) {
        const Subject &yardstick = subjects[i];
        const double goal = i - 1 < options.goals.size() ? options.goals[i - 1] : 0.0;
        const QString pair = program.name + QStringLiteral(" / ") + yardstick.name;
        if (!program.timesMs.empty() && !yardstick.timesMs.empty()) {
            printRatio(QStringLiteral("ratio of medians ") + pair, median(program.timesMs) / median(yardstick.timesMs),
                       goal, setting);
        }
        if (program.instructions && yardstick.instructions) {
            printRatio(QStringLiteral("ratio of instructions ") + pair,
                       double(*program.instructions) / double(*yardstick.instructions), goal, setting);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bench_startup"));
    std::optional<Options> options = parseOptions(app);
    if (!options)
        return 2;

    // The programs get a private runtime folder, so no run depends on the
    // session of whoever starts the benchmark.
    QTemporaryDir runtimeFolder;
    if (!runtimeFolder.isValid()) {
        err() << "cannot create a temporary folder: " << runtimeFolder.errorString() << Qt::endl;
        return 2;
    }
    QFile::setPermissions(runtimeFolder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder.path());
    // The copies of unsaved work, and the programs' other state.
    QTemporaryDir stateFolder;
    if (!stateFolder.isValid()) {
        err() << "cannot create a temporary folder: " << stateFolder.errorString() << Qt::endl;
        return 2;
    }
    environment.insert(QStringLiteral("XDG_STATE_HOME"), stateFolder.path());

    printHeading(*options, environment);
    if (!runAll(*options, environment))
        return 1;

    // After the timed runs, which it would slow down.
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (options->countInstructions && valgrind.isEmpty())
        out() << "No valgrind on PATH: no count of instructions" << Qt::endl;
    for (Subject &subject : options->subjects) {
        if (options->countInstructions && !valgrind.isEmpty())
            countInstructions(subject, valgrind, options->firstStart, environment);
    }

    int nameWidth = 0;
    for (const Subject &subject : options->subjects)
        nameWidth = std::max(nameWidth, int(subject.name.size()));
    for (const Subject &subject : options->subjects)
        printFigures(subject, nameWidth, options->runs);
    if (options->countInstructions && !valgrind.isEmpty()) {
        for (const Subject &subject : options->subjects)
            printInstructions(subject, nameWidth);
    }
    printRatios(*options, setting());

    int failedRuns = 0;
    for (const Subject &subject : options->subjects)
        failedRuns += subject.failedRuns;
    if (failedRuns > 0) {
        err() << failedRuns << " timed run(s) failed" << Qt::endl;
        return 1;
    }
    return 0;
}
