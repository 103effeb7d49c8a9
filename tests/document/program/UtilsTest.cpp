#include "document/program/Utils.h"

#include "document/program/Identity.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <random>

namespace {

// The plain recursive definition the fast matcher must agree with.
bool recursiveMatch(QStringView t, QStringView p)
{
    if (p.isEmpty())
        return t.isEmpty();
    if (p[0] == u'*')
        return recursiveMatch(t, p.mid(1)) || (!t.isEmpty() && recursiveMatch(t.mid(1), p));
    if (t.isEmpty())
        return false;
    return (p[0] == u'?' || p[0] == t[0]) && recursiveMatch(t.mid(1), p.mid(1));
}

} // namespace

TEST(WildcardMatch, AgreesWithTheRecursiveDefinition)
{
    // Beyond the random alphabet: upper-casing may lengthen the text.
    EXPECT_TRUE(WildcardMatch("straße", "STRASSE", false));
    EXPECT_FALSE(WildcardMatch("straße", "STRASSE", true));
    std::mt19937 rng(12345);
    const QString textChars = QStringLiteral("abA");
    const QString patternChars = QStringLiteral("ab?*A");
    auto randomText = [&](const QString &alphabet, int maxLen) {
        QString s;
        const int len = std::uniform_int_distribution<int>(0, maxLen)(rng);
        for (int i = 0; i < len; ++i)
            s += alphabet[std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(rng)];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(textChars, 10);
        const QString pattern = randomText(patternChars, 8);
        const bool caseSensitive = round % 2 == 0;
        const bool expected = caseSensitive ? recursiveMatch(text, pattern)
                                            : recursiveMatch(text.toUpper(), pattern.toUpper());
        ASSERT_EQ(WildcardMatch(text, pattern, caseSensitive), expected)
            << text.toStdString() << " / " << pattern.toStdString() << " cs=" << caseSensitive;
    }
}

TEST(WildcardMatch, LongInputsWithManyStarsFinish)
{
    // Exponential for the recursive form; quadratic at worst here.
    const QString text(20000, QLatin1Char('a'));
    EXPECT_FALSE(WildcardMatch(text, "*a*a*a*a*a*a*a*a*b", true));
    EXPECT_TRUE(WildcardMatch(text + "b", "*a*a*a*a*a*a*a*a*b", true));
}

TEST(Utils, VersionOfTheProgramOnly)
{
    int major = -1, minor = -1, release = -1, build = -1, flags = -1;
    ASSERT_TRUE(GetBuildInfo(QString(), major, minor, release, build, flags));
    const QString version = GetFileVersion();
    EXPECT_TRUE(version.startsWith(QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release)));
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+( prerelease| RC)?$").match(version).hasMatch());
    EXPECT_TRUE(GetBuildInfo(QCoreApplication::applicationFilePath(), major, minor, release, build, flags));

    QTemporaryFile other;
    ASSERT_TRUE(other.open());
    EXPECT_FALSE(GetBuildInfo(other.fileName(), major, minor, release, build, flags));
    EXPECT_FALSE(GetBuildInfo("/no/such/file", major, minor, release, build, flags));
}

TEST(Identity, ComputerDotUserUnlessOverridden)
{
    const QString comp = GetCompName();
    EXPECT_FALSE(comp.isEmpty());
    EXPECT_FALSE(comp.contains(QLatin1Char('.')));
    EXPECT_FALSE(GetUser().isEmpty());
    // Unset or empty: computer and user. The identity names files, so no path separators
    // or other illegal characters come through from an override, and no leading dot
    // (it would hide them).
    const struct {
        const char *value, *expected;
    } rows[] = { { nullptr, nullptr }, { "", nullptr }, { "hostA.alice", "hostA.alice" },
        { "../x/y:z*\"<>|?\\\tq", "___x_y_z________q" }, { ".hidden", "_hidden" } };
    for (const auto &row : rows) {
        testsupport::ScopedEnv env("ZELTRANO_IDENTITY", row.value);
        EXPECT_EQ(BuildUserIdentity(), row.expected ? QString(row.expected) : comp + "." + GetUser())
            << (row.value ? row.value : "(unset)");
    }
}

TEST(Version, OnlyANewerVersionNumberByNumberCounts)
{
    const struct {
        const char *found;
        bool newer;
    } rows[] = { { "2.5.4", false }, { "2.5.5", true }, { "2.6", true }, { "3", true }, { "2.5", false },
        { "2.10.0", true }, { "2.4.99", false }, { " 2.5.10 ", true }, { "1.99.99", false },
        // Not a version: never announced.
        { "", false }, { "2.x.9", false }, { "2..9", false }, { "3.0.0.1", false }, { "-3.0.0", false },
        { "9999999999.0.0", false }, { "3.0.0 beta", false } };
    for (const auto &row : rows)
        EXPECT_EQ(IsNewerVersion(row.found, 2, 5, 4), row.newer) << row.found;
}
