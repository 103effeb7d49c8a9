#pragma once

#include <QString>

// Matches `text` against `pattern`: "*" any run of characters (also none), "?"
// exactly one character, every other character itself. Unless case sensitive,
// both are upper-cased first. Runs in O(text x pattern) at worst.
bool WildcardMatch(const QString &text, const QString &pattern, bool caseSensitive);

// `path` with its extension (after the last dot of the file name) replaced by
// `extension` (with its dot, ".pdf"); added when the name has none.
QString ChangeFileExt(const QString &path, const QString &extension);

// Version flags, as a version resource's file flags.
constexpr int VersionFlagPrerelease = 0x02;
constexpr int VersionFlagSpecialBuild = 0x20;

// "Major.Minor.Release", followed by " prerelease" for a prerelease build, else by
// " RC" for a special build.
QString GetFileVersion();

// The version of the program file `fileName`: true with its numbers and flags when
// the file carries version information. Only the program itself does here (its
// version is compiled in); an empty name means the program too.
bool GetBuildInfo(const QString &fileName, int &major, int &minor, int &release, int &build, int &flags);

// Whether the version text `found` ("3.1.7", as the publisher's page gives it) is
// newer than major.minor.release, compared number by number; missing numbers
// count 0. A text that is not such a version (letters, empty parts, more than
// three numbers, numbers of more than nine digits) is never newer: the page is outside data.
bool IsNewerVersion(const QString &found, int major, int minor, int release);
