#pragma once

#include <QString>

// The publisher's addresses the program uses, kept in one place.

// The page whose first bytes carry the newest version in a comment
// "<!--rev 1.2.3 -->". The environment variable ZELTRANO_UPDATE_URL replaces it
// (set empty, no check is made: tests and machines without network).
QString UpdateCheckURL();
inline constexpr const char *kUpdateCheckTag = "rev";

// The publisher's web site (its address is also the caption of its menu item),
// the page to download a newer version from, and the mail box for contact.
QString WebSiteURL();
QString DownloadPageURL();
QString ContactMailAddress();
