// Four instances, each in its own process with its own identity, work on one
// document: random edits (many on the same rows), stores, saves and reloads, and
// now and then one is killed with SIGKILL and started again. At the end every
// instance and a fresh one that opens the document hold the same tables, and no
// edit that was stored before a kill is missing.
//
// Each instance sees the sharing folder through a client that keeps listings and
// attributes for a second (ZELTRANO_SOAK_CACHE_MS, 0 for none), as network shares
// do. ZELTRANO_SOAK_SECONDS sets how long they work (a short run by default;
// tests/soak/run-soak runs it longer); ZELTRANO_SOAK_WRAPPER names a program that
// starts each instance (given the instance's command line), for instance behind a
// network mount of its own (tests/soak/run-soak-sshfs).
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "tests/document/sharing/SharingTestSupport.h"
#include "tests/document/sharing/sharing_peer/TableDump.h"
#include "tests/support/SoakCheck.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kPeers = 4;

QString identityOf(int peer)
{
    return QString("soak%1.test").arg(peer);
}

class Peer {
public:
    Peer(int number, const QString &document, const QString &control)
        : FNumber(number)
        , FDocument(document)
        , FControl(control)
    { }

    void start(unsigned seed)
    {
        FProcess = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELTRANO_IDENTITY", identityOf(FNumber));
        const QString home = FControl + "/home-" + QString::number(FNumber);
        QDir().mkpath(home);
        env.insert("XDG_DATA_HOME", home);
        if (!env.contains("ZELTRANO_SOAK_CACHE_MS"))
            env.insert("ZELTRANO_SOAK_CACHE_MS", "1000");
        FProcess->setProcessEnvironment(env);
        FProcess->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The run that counts for this identity, named by its seed: a run this one
        // replaces that is still going (a kill can miss an instance its wrapper was
        // just starting) stops as soon as it sees this, before its next edit or
        // "stored" line could mix with this run's in the identity's edit log.
        const QString run = FControl + "/" + identityOf(FNumber) + ".run";
        SharedFolder::write(run + ".tmp", QByteArray::number(seed));
        ASSERT_EQ(
            std::rename(QFile::encodeName(run + ".tmp").constData(), QFile::encodeName(run).constData()), 0);
        const QStringList args { "soak", FDocument, FControl, QString::number(seed) };
        const QString wrapper = qEnvironmentVariable("ZELTRANO_SOAK_WRAPPER");
        if (wrapper.isEmpty())
            FProcess->start(ZELTRANO_SHARING_PEER, args);
        else
            FProcess->start(wrapper, QStringList { ZELTRANO_SHARING_PEER } + args);
        ASSERT_TRUE(FProcess->waitForStarted(10000));
    }
    // SIGKILL: no chance to store or clean up.
    void kill()
    {
        FProcess->kill();
        FProcess->waitForFinished(10000);
    }
    bool running() const { return FProcess->state() != QProcess::NotRunning; }
    QProcess &process() { return *FProcess; }

private:
    int FNumber;
    QString FDocument, FControl;
    std::unique_ptr<QProcess> FProcess;
};

} // namespace

TEST(Soak, InstancesThatAreKilledAndRestartedLoseNoStoredEditAndAgree)
{
    const int seconds = qEnvironmentVariableIsSet("ZELTRANO_SOAK_SECONDS")
        ? qEnvironmentVariableIntValue("ZELTRANO_SOAK_SECONDS")
        : 12;
    QTemporaryDir dir;
    // A failed run keeps its folder when asked to.
    struct KeepOnFailure {
        QTemporaryDir &dir;
        ~KeepOnFailure()
        {
            if (::testing::Test::HasFailure() && qEnvironmentVariableIsSet("ZELTRANO_SOAK_KEEP")) {
                dir.setAutoRemove(false);
                std::fprintf(stderr, "soak folder kept: %s\n", qPrintable(dir.path()));
            }
        }
    } keep { dir };
    const QString control = dir.path() + "/control";
    QDir().mkpath(control);
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (control + "/home-test").toLocal8Bit());
    FormatSettings() = TFormatSettings {};
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scopedDialogs(&dialogs);

    // The document they open, with a few rows of its own.
    // The shared folder apart from the harness's control files (elsewhere when
    // ZELTRANO_SOAK_SHARE_DIR names a folder, such as a small disk).
    QTemporaryDir shareDir(qEnvironmentVariable("ZELTRANO_SOAK_SHARE_DIR", dir.path()) + "/share-XXXXXX");
    KeepOnFailure keepShare { shareDir };
    const QString document = QDir(shareDir.path()).canonicalPath() + "/Plan.kez";
    {
        Document doc;
        TDocumentCommands commands(doc);
        commands.Reset();
        for (int i = 0; i < 6; ++i) {
            TNodeData *row = doc.AddNode(QString("init.%1").arg(i), i < 4 ? tbTable : tbExclude, false);
            doc.DoSetData(row, 5, QString("initial %1").arg(i), false);
        }
        // Plain files, readable when a run fails; the compressed ones have tests of their own.
        doc.SetCompressedSave(false);
        // ZELTRANO_SOAK_KEEP_HISTORY keeps every working folder, so that a long run
        // that fails early still shows where its records went.
        if (qEnvironmentVariableIsSet("ZELTRANO_SOAK_KEEP_HISTORY")) {
            TDocumentSetup setup = doc.Setup();
            setup.FMaxHistoryFiles = 1000000;
            doc.SetSetup(std::move(setup));
        }
        ASSERT_TRUE(commands.Save(document));
    }

    std::mt19937 rng(qEnvironmentVariableIsSet("ZELTRANO_SOAK_SEED")
            ? unsigned(qEnvironmentVariableIntValue("ZELTRANO_SOAK_SEED"))
            : std::random_device {}());
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < kPeers; ++i) {
        peers.push_back(std::make_unique<Peer>(i, document, control));
        peers.back()->start(rng());
    }
    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    while (clock.elapsed() < seconds * 1000) {
        // A kill comes at a random moment of the peers' real-time work.
        QThread::msleep(200 + rng() % 1200);
        Peer &victim = *peers[rng() % kPeers];
        if (!victim.running()) {
            ADD_FAILURE() << "an instance stopped by itself";
            break;
        }
        victim.kill();
        ++kills;
        victim.start(rng());
    }
    // Renamed into place: an instance that sees the file must also see the count in it.
    SharedFolder::write(control + "/finish.tmp", QByteArray::number(kPeers));
    ASSERT_TRUE(QFile::rename(control + "/finish.tmp", control + "/finish"));
    for (auto &peer : peers) {
        if (!peer->process().waitForFinished(180000)) {
            peer->kill();
            ADD_FAILURE() << "an instance did not finish";
        }
        EXPECT_EQ(peer->process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(peer->process().exitCode(), 0);
    }
    ASSERT_FALSE(HasFailure());
    RecordProperty("kills", kills);
    EXPECT_GT(kills, 0);

    // Every instance holds the same tables, and so does a fresh one.
    const QString first = QString::fromUtf8(SharedFolder::read(control + "/" + identityOf(0) + ".dump"));
    for (int i = 1; i < kPeers; ++i) {
        const QString other = QString::fromUtf8(SharedFolder::read(control + "/" + identityOf(i) + ".dump"));
        EXPECT_TRUE(other == first) << "instance " << i
                                    << " differs from instance 0:" << soakcheck::DumpDifference(first, other);
    }
    {
        Document doc;
        doc.SetIdentity("fresh.test");
        TDocumentCommands commands(doc);
        dialogs.QueueAnswer(mrYes); // should the document and its working copy differ
        ASSERT_TRUE(commands.Open(document));
        const QString fresh = TableDump(doc, false);
        EXPECT_TRUE(fresh == first) << "a fresh instance differs from instance 0:"
                                    << soakcheck::DumpDifference(first, fresh);
    }
    qputenv("XDG_DATA_HOME", oldDataHome);

    // No stored edit is missing (soakcheck::MissingStoredEdits says what that means).
    std::vector<std::vector<soakcheck::Edit>> all;
    for (int i = 0; i < kPeers; ++i)
        all.push_back(soakcheck::ReadEdits(control + "/" + identityOf(i) + ".edits", false));
    int storedEdits = 0;
    for (const std::string &missing :
        soakcheck::MissingStoredEdits(soakcheck::ParseDump(first), all, storedEdits))
        ADD_FAILURE() << missing;
    RecordProperty("stored_edits", storedEdits);
    EXPECT_GT(storedEdits, 0);
}
