// The ini store on files others may have put in its way (the archive beside a
// shared document, the settings in its sharing folder): links, pipes, devices
// and compressed streams stating more text than any ini file holds.
#include "document/program/IniFile.h"
#include "tests/support/HostileEntries.h"

#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(IniFileBeside, ALinkIsNeitherReadNorReplacedWhenLinksAreRefused)
{
    QTemporaryDir share, home;
    const QString secret = home.filePath("credentials");
    const QByteArray secretText = "[default]\npassword=hunter2\n";
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(secretText);
    }
    const QString archive = share.filePath("Plan.archiv");
    hostile::makeLink(secret, archive);

    TMemIniFile ini(archive, platform::Links::Refuse);
    EXPECT_FALSE(ini.Loaded().ok());
    EXPECT_EQ(ini.ReadString("default", "password", "none"), "none");
    ini.WriteString("Archiv", "count", "1");
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_TRUE(hostile::isLink(archive));
    EXPECT_EQ(readAll(secret), secretText);

    // The user's own settings may well be a link (to a folder of dotfiles).
    const TMemIniFile settings(archive);
    EXPECT_EQ(settings.ReadString("default", "password", "none"), "hunter2");
}

TEST(IniFileBeside, APipeOrADeviceInTheFilesPlaceIsNotWaitedOn)
{
    QTemporaryDir share;
    const QString pipe = share.filePath("Plan.archiv");
    hostile::makeFifo(pipe);
    const QString zero = share.filePath("Zero.archiv");
    hostile::makeLink("/dev/zero", zero);
    for (const platform::Links links : { platform::Links::Refuse, platform::Links::Follow }) {
        const hostile::PipeWatchdog watchdog(pipe);
        EXPECT_FALSE(TMemIniFile(pipe, links).Loaded().ok());
        EXPECT_FALSE(watchdog.ReaderSeen());
        // Read through the link, /dev/zero would never end.
        EXPECT_FALSE(TMemIniFile(zero, links).Loaded().ok());
    }
}

TEST(IniFileBeside, ACompressedStreamIsJudgedByTheTextItStatesBeforeItIsUnpacked)
{
    QTemporaryDir share;
    const QString path = share.filePath("Plan.archiv");
    // Four blocks state 4 GB: refused by the header alone.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hostile::compressedBomb(0xFFFFFFFFu, 4));
    file.close();
    const TMemIniFile bomb(path, platform::Links::Refuse);
    EXPECT_TRUE(bomb.Loaded().reason().contains("more than")) << bomb.Loaded().reason().toStdString();

    // A stream within the limit still reads, compressed or not.
    TMemIniFile ini(path, platform::Links::Refuse);
    ini.Clear();
    ini.WriteString("Archiv", "count", "7");
    ASSERT_TRUE(ini.UpdateFile(true));
    ASSERT_TRUE(readAll(path).startsWith(QByteArray("zip\0", 4)));
    EXPECT_EQ(TMemIniFile(path, platform::Links::Refuse).ReadInteger("Archiv", "count", 0), 7);
}
