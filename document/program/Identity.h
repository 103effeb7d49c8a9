#pragma once

#include <QString>

// The user identity: computer name, ".", login name. It names the user's files
// in a document's sharing folder and prefixes the row IDs the user creates, so
// it must be a valid file name and stable for the whole run.

// The host name up to its first dot, made safe for file names.
QString GetCompName();
// The login name, made safe for file names.
QString GetUser();

// The identity of this process, built on first use and kept for the run.
const QString &UserIdentity();

// Builds the identity now: the environment variable ZELTRANO_IDENTITY, when set and
// not empty, replaces the whole identity (several instances on one host in tests);
// otherwise GetCompName() + "." + GetUser(). Either way made safe for file names.
QString BuildUserIdentity();

// SanitizeFileNamePart, and leading dots replaced by "_" as well: the files named
// after an identity must not be hidden from the instances that list them.
QString SanitizeIdentity(const QString &identity);

// The name an identity's files in the sharing folder are named by: the identity
// itself while it takes at most kMaxFileIdentityBytes in the file system's
// encoding (UTF-8), else its longest prefix of whole characters that leaves room
// for "~" and eight hex digits of a hash of the whole identity. Every instance of
// an identity makes the same name; the identity in the records stays whole.
inline constexpr int kMaxFileIdentityBytes = 100;
QString FileIdentityName(const QString &identity);

// Replaces every character that cannot stand in a file name on this or a
// Windows share (control characters and \ / : * ? " < > |) by "_".
QString SanitizeFileNamePart(const QString &text);
