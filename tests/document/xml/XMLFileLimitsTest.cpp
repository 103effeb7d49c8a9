// A document (or working copy) is refused for the text its compressed header
// states before anything is unpacked, and with an element limit, for its count
// of elements before its tree is built.
#include "document/xml/XMLFile.h"
#include "tests/support/HostileEntries.h"

#include <QTemporaryDir>

TEST(XMLFileLimits, MoreThanAPlanOrMoreElementsThanAllowedIsRefusedUnread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Plan.kez");
    const auto write = [&](const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    // A whole, valid stream of 32,768 blocks stating exactly what it unpacks to: 1 GiB.
    write(hostile::compressedBomb(quint32(TXMLFile::DocumentTextLimit + 32768), 32769));
    TXMLFile file(path, true);
    EXPECT_FALSE(file.Load());
    EXPECT_TRUE(file.TooLarge());

    write("<document><setup /><data>" + QByteArray("<x/>").repeated(10) + "</data></document>");
    file.SetMaxElements(12);
    EXPECT_FALSE(file.Load());
    EXPECT_TRUE(file.TooLarge());
    file.SetMaxElements(13);
    EXPECT_TRUE(file.Load());
    EXPECT_FALSE(file.TooLarge());
    EXPECT_EQ(file.xml().namedNode(QStringList { "document", "data" })->Count(), 10);
}
