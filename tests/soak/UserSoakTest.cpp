// Three users at the real main window, each its own instance with its own
// identity, on one document: random clicks and drags on the chart, clicks and
// keys in the tables, sorting, filtering, typing in the editor, pasting,
// deleting, splitting, undo and redo, zoom, tab switches and saves, played as
// events; dialogs and menus answered by script. Now and then one is killed with
// SIGKILL and started again. At the end every instance and a fresh one that
// opens the document hold the same tables, no edit an instance had stored
// before a kill is missing, no exception was logged and no sanitizer spoke.
//
// The run's length and the kills are counted in the users' moves, not in
// seconds, so a loaded machine makes it slower but not different:
// ZELTRANO_USER_SOAK_MOVES sets how many moves the users make together (a
// short run by default), ZELTRANO_USER_SOAK_SECONDS a time instead
// (tests/soak/run-user-soak), ZELTRANO_USER_SOAK_SEED the seed (printed, so a
// failed run can be replayed), ZELTRANO_USER_SOAK_KEEP keeps the folder of a
// failed run. Time limits only catch a user that hangs, and are generous.
#include "bench/generator/DocumentGenerator.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "tests/document/sharing/sharing_peer/TableDump.h"
#include "tests/support/SoakCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>

namespace {

constexpr int kUsers = 3;
// A user that makes no move for this long hangs (a restart under load takes
// seconds, a move far less).
constexpr qint64 kStallMs = 240000;
// How long the users may take together to store, meet and write their tables.
constexpr int kFinishMs = 480000;

QString IdentityOf(int user)
{
    return QString("user%1.soak").arg(user);
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// What a sanitizer or the program's log says when something went wrong.
// What a sanitizer, Qt or the C++ runtime says when something went wrong, or the
// program's log.
const QRegularExpression kTrouble(
    QStringLiteral("runtime error|AddressSanitizer|LeakSanitizer|"
                   "UndefinedBehaviorSanitizer|Exception: |terminate called|ASSERT|Assertion"));

class User {
public:
    User(int number, const QString &document, const QString &control)
        : FNumber(number)
        , FDocument(document)
        , FControl(control)
    { }

    void Start(unsigned seed)
    {
        FProcess = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELTRANO_IDENTITY", IdentityOf(FNumber));
        env.insert("XDG_DATA_HOME", Home());
        // Each user in a session of their own, as on their own computer: in one
        // session, opening the document another instance shows would bring that
        // instance forward instead.
        const QString runtime = Home() + "/runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("ZELTRANO_UPDATE_URL", QString());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        FProcess->setProcessEnvironment(env);
        FProcess->setStandardOutputFile(FControl + IdentityOf(FNumber) + ".out", QIODevice::Append);
        FProcess->setStandardErrorFile(FControl + IdentityOf(FNumber) + ".err", QIODevice::Append);
        FMovesAtStart = Moves();
        FProcess->start(ZELTRANO_MAINFORM_PEER, { "soak", FDocument, FControl, QString::number(seed) });
        ASSERT_TRUE(FProcess->waitForStarted(20000));
    }
    // SIGKILL: no chance to store or clean up.
    void Kill()
    {
        FProcess->kill();
        FProcess->waitForFinished(20000);
    }
    bool Running() const { return FProcess->state() != QProcess::NotRunning; }
    // The moves of every run of this user, and of its current run.
    qint64 Moves() const { return QFileInfo(FControl + IdentityOf(FNumber) + ".moves").size(); }
    qint64 MovesThisRun() const { return Moves() - FMovesAtStart; }
    // For a failure message: what the instance wrote to stderr from its first
    // trouble on, else its last lines (Qt's notes on the offscreen platform left
    // out).
    std::string LastWords() const
    {
        QStringList lines;
        qsizetype trouble = -1;
        for (const QString &line : ReadText(FControl + IdentityOf(FNumber) + ".err").split('\n')) {
            if (line.isEmpty() || line.startsWith("This plugin does not support"))
                continue;
            if (trouble < 0 && kTrouble.match(line).hasMatch())
                trouble = lines.size();
            lines << line;
        }
        lines = trouble >= 0 ? lines.mid(std::max<qsizetype>(0, trouble - 4), 60)
                             : lines.mid(std::max<qsizetype>(0, lines.size() - 8));
        return ("\n    " + lines.join("\n    ")).toStdString();
    }
    QProcess &Process() { return *FProcess; }
    QString Home() const { return FControl + "home-" + QString::number(FNumber); }

private:
    int FNumber;
    QString FDocument, FControl;
    std::unique_ptr<QProcess> FProcess;
    qint64 FMovesAtStart = 0;
};

} // namespace

TEST(UserSoak, ThreeUsersAtTheWindowKilledAndRestartedLoseNoStoredEditAndAgree)
{
    const int seconds = qEnvironmentVariableIntValue("ZELTRANO_USER_SOAK_SECONDS");
    const qint64 moves = qEnvironmentVariableIsSet("ZELTRANO_USER_SOAK_MOVES")
        ? qEnvironmentVariableIntValue("ZELTRANO_USER_SOAK_MOVES")
        : 1000;
    const unsigned seed = qEnvironmentVariableIsSet("ZELTRANO_USER_SOAK_SEED")
        ? qEnvironmentVariable("ZELTRANO_USER_SOAK_SEED").toUInt() // seeds go past INT_MAX
        : std::random_device {}();
    if (seconds > 0)
        std::fprintf(stderr, "user soak: %d seconds, seed %u\n", seconds, seed);
    else
        std::fprintf(stderr, "user soak: %lld moves, seed %u\n", moves, seed);
    RecordProperty("seed", int(seed));
    QTemporaryDir dir;
    struct KeepOnFailure {
        QTemporaryDir &dir;
        unsigned seed;
        ~KeepOnFailure()
        {
            if (::testing::Test::HasFailure() && qEnvironmentVariableIsSet("ZELTRANO_USER_SOAK_KEEP")) {
                dir.setAutoRemove(false);
                std::fprintf(stderr, "user soak folder kept: %s (seed %u)\n", qPrintable(dir.path()), seed);
            }
        }
    } keep { dir, seed };
    const QString control = dir.path() + "/control/";
    QDir().mkpath(control);
    const QString document = QDir(dir.path()).canonicalPath() + "/Plan.kez";
    {
        // A plan of a few positions over six weeks, plain so that a failed run
        // can be read.
        GeneratorOptions plan;
        plan.tasks = 40;
        plan.absentRows = 8;
        plan.positions = 4;
        plan.spanDays = 42;
        plan.seed = seed;
        QString error;
        ASSERT_TRUE(WriteGeneratedDocument(document, plan, false, &error)) << error.toStdString();
    }

    std::mt19937 rng(seed);
    std::vector<std::unique_ptr<User>> users;
    for (int i = 0; i < kUsers; ++i) {
        users.push_back(std::make_unique<User>(i, document, control));
        users.back()->Start(rng());
    }
    const auto totalMoves = [&users] {
        qint64 total = 0;
        for (const auto &user : users)
            total += user->Moves();
        return total;
    };
    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    // Now and then a user who has got going since its last start is killed and
    // started again.
    const auto killDistance = [&rng] { return qint64(40 + rng() % 120); };
    qint64 nextKill = killDistance();
    std::vector<qint64> lastMoves(kUsers, -1);
    std::vector<QElapsedTimer> sinceMove(kUsers);
    while (seconds > 0 ? clock.elapsed() < seconds * 1000 : totalMoves() < moves) {
        // The users play in real time; this only paces the look at them.
        QThread::msleep(100);
        bool stopped = false;
        for (int i = 0; i < kUsers && !stopped; ++i) {
            User &user = *users[std::size_t(i)];
            const std::size_t at = std::size_t(i);
            if (!user.Running()) {
                ADD_FAILURE() << IdentityOf(i).toStdString() << " stopped by itself:" << user.LastWords();
                stopped = true;
            } else if (user.Moves() != lastMoves[at]) {
                lastMoves[at] = user.Moves();
                sinceMove[at].start();
            } else if (sinceMove[at].elapsed() > kStallMs) {
                ADD_FAILURE() << IdentityOf(i).toStdString() << " made no move for " << kStallMs / 1000
                              << " s:" << user.LastWords();
                stopped = true;
            }
        }
        if (stopped)
            break;
        if (totalMoves() < nextKill)
            continue;
        const std::size_t first = rng() % kUsers;
        for (std::size_t k = 0; k < kUsers; ++k) {
            User &victim = *users[(first + k) % kUsers];
            if (victim.MovesThisRun() >= 10) {
                victim.Kill();
                ++kills;
                victim.Start(rng());
                nextKill = totalMoves() + killDistance();
                break;
            }
        }
    }
    if (HasFailure()) {
        for (const auto &user : users)
            user->Kill();
        return;
    }
    // Renamed into place: an instance that sees the file also sees the count in it.
    {
        QFile finish(control + "finish.tmp");
        ASSERT_TRUE(finish.open(QIODevice::WriteOnly));
        finish.write(QByteArray::number(kUsers));
    }
    ASSERT_TRUE(QFile::rename(control + "finish.tmp", control + "finish"));
    QElapsedTimer finishing;
    finishing.start();
    for (int i = 0; i < kUsers; ++i) {
        User &user = *users[std::size_t(i)];
        if (!user.Process().waitForFinished(int(std::max<qint64>(1000, kFinishMs - finishing.elapsed())))) {
            user.Kill();
            ADD_FAILURE() << IdentityOf(i).toStdString() << " did not finish in " << kFinishMs / 1000
                          << " s:" << user.LastWords();
            continue;
        }
        EXPECT_TRUE(user.Process().exitStatus() == QProcess::NormalExit && user.Process().exitCode() == 0)
            << IdentityOf(i).toStdString() << " ended with exit code " << user.Process().exitCode() << ":"
            << user.LastWords();
    }
    RecordProperty("kills", kills);
    RecordProperty("moves", int(totalMoves()));
    // No sanitizer spoke and no exception reached the event loop (the log).
    for (int i = 0; i < kUsers; ++i) {
        const QString said = ReadText(control + IdentityOf(i) + ".err")
            + ReadText(users[std::size_t(i)]->Home() + "/kez/kez.log");
        const QRegularExpressionMatch trouble = kTrouble.match(said);
        EXPECT_FALSE(trouble.hasMatch())
            << IdentityOf(i).toStdString() << ": "
            << said.mid(std::max<qsizetype>(0, trouble.capturedStart() - 200), 1200).toStdString();
    }
    ASSERT_FALSE(HasFailure());

    // Every instance holds the same tables, and so does a fresh one.
    const QString first = ReadText(control + IdentityOf(0) + ".dump");
    for (int i = 1; i < kUsers; ++i) {
        const QString other = ReadText(control + IdentityOf(i) + ".dump");
        EXPECT_TRUE(other == first) << IdentityOf(i).toStdString() << " differs from "
                                    << IdentityOf(0).toStdString() << ":"
                                    << soakcheck::DumpDifference(first, other);
    }
    {
        const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", (control + "home-fresh").toLocal8Bit());
        FormatSettings() = TFormatSettings {};
        TScriptedMessageDialogs dialogs;
        ScopedMessageDialogs scopedDialogs(&dialogs);
        Document doc;
        doc.SetIdentity("fresh.soak");
        TDocumentCommands commands(doc);
        dialogs.QueueAnswer(mrYes); // should the document and its working copy differ
        ASSERT_TRUE(commands.Open(document));
        const QString fresh = TableDump(doc, false);
        EXPECT_TRUE(fresh == first) << "a fresh instance differs:" << soakcheck::DumpDifference(first, fresh);
        qputenv("XDG_DATA_HOME", oldDataHome);
    }

    std::vector<std::vector<soakcheck::Edit>> all;
    for (int i = 0; i < kUsers; ++i)
        all.push_back(soakcheck::ReadEdits(control + IdentityOf(i) + ".edits", true));
    int stored = 0;
    for (const std::string &missing : soakcheck::MissingStoredEdits(soakcheck::ParseDump(first), all, stored))
        ADD_FAILURE() << missing;
    RecordProperty("stored_edits", stored);
    std::map<QString, int> kinds;
    for (const auto &edits : all)
        for (const soakcheck::Edit &e : edits)
            ++kinds[e.kind];
    std::map<QString, int> questions;
    for (int i = 0; i < kUsers; ++i) {
        static const QRegularExpression asked(QStringLiteral("(asked: [^?\\n]*[?]?|menu: .*|dialog: .*)"));
        for (const QRegularExpressionMatch &m : asked.globalMatch(ReadText(control + IdentityOf(i) + ".err")))
            ++questions[m.captured(1).left(40)];
    }
    std::fprintf(stderr,
        "user soak: %lld moves in %lld s, %d kills, %d stored edits (%d new rows, %d changes, %d deletes)\n",
        totalMoves(), clock.elapsed() / 1000, kills, stored, kinds["new"], kinds["change"], kinds["delete"]);
    for (const auto &[question, count] : questions)
        std::fprintf(stderr, "  %4d x %s\n", count, qPrintable(question));
    EXPECT_GT(stored, 0);
}
