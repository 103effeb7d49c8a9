// Users who press Save at the same moment, each in a process of its own: their
// saves follow one another, so no two working folders grow from the same one,
// and every row each of them added is in the document.
#include "document/commands/DocumentCommands.h"
#include "tests/document/sharing/SharingTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The settling time and the save's patience, lowered together: at the defaults
// (5 s each) the saves behave the same, only slower.
constexpr int kSettleMs = 400;
constexpr int kPatienceMs = 400;

QString identity(int saver)
{
    return QString("saver%1.test").arg(saver);
}

// The folder each numbered folder's list names as the one its save retired.
QMap<QString, QString> retiredBy(const QString &sharing)
{
    QMap<QString, QString> parents;
    for (const QString &name : QDir(sharing).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString list = QString::fromUtf8(SharedFolder::read(sharing + name + "/Plan.kez.included"));
        if (!list.isEmpty())
            parents[name] = list.section('\n', 0, 0).section('\t', 1);
    }
    return parents;
}

// Each saver opens the plan and adds a row; then all press Save together.
void saveTogether(int savers)
{
    SharedFolder folder;
    {
        Document doc;
        TDocumentCommands commands(doc);
        ASSERT_TRUE(commands.Open(folder.path));
    }
    const QString control = folder.dir.path() + "/control";
    QDir().mkpath(control);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", folder.dir.path() + "/data");
    env.insert("ZELTRANO_SOAK_SETTLE_MS", QString::number(kSettleMs));
    env.insert("ZELTRANO_SAVE_PATIENCE_MS", QString::number(kPatienceMs));
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < savers; ++i) {
        auto process = std::make_unique<QProcess>();
        env.insert("ZELTRANO_IDENTITY", identity(i));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(ZELTRANO_SHARING_PEER, { "save", folder.path, control });
        ASSERT_TRUE(process->waitForStarted(10000));
        processes.push_back(std::move(process));
    }
    QElapsedTimer waited;
    waited.start();
    while (QDir(control).entryList({ "*.ready" }, QDir::Files).size() < savers) {
        ASSERT_LT(waited.elapsed(), 60000) << "the savers did not get ready";
        QThread::msleep(10);
    }
    SharedFolder::write(control + "/go", QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 500));
    for (auto &process : processes) {
        if (!process->waitForFinished(60000)) {
            process->kill();
            process->waitForFinished(5000);
            FAIL() << "a saver did not finish in time";
        }
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << "a save failed";
    }

    const QMap<QString, QString> parents = retiredBy(folder.dir.path() + "/.kez/Plan.kez/");
    EXPECT_EQ(parents.size(), savers);
    QStringList retired = parents.values(), lines;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it)
        lines << it.key() + " retired " + it.value();
    retired.removeDuplicates();
    EXPECT_EQ(retired.size(), parents.size())
        << "two folders grew from one: " << qPrintable(lines.join(", "));

    Document doc;
    TDocumentCommands commands(doc);
    ASSERT_TRUE(commands.Open(folder.path));
    for (int i = 0; i < savers; ++i)
        EXPECT_NE(doc.FindNode(identity(i)), nullptr) << qPrintable(identity(i));
}

} // namespace

TEST(ConcurrentSaves, TwoSavesStartedTogetherFollowOneAnother)
{
    for (int round = 0; round < 3; ++round)
        ASSERT_NO_FATAL_FAILURE(saveTogether(2)) << "round " << round;
}

TEST(ConcurrentSaves, ThreeSavesStartedTogetherFollowOneAnother)
{
    for (int round = 0; round < 3; ++round)
        ASSERT_NO_FATAL_FAILURE(saveTogether(3)) << "round " << round;
}
