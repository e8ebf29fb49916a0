#pragma once

// Who makes Corvane and how to reach them: shown on the title window and in
// the help, and used when a mail or web command is given no address.

namespace corvane::maker {

inline constexpr const char* kName = "Oriel Software";
inline constexpr const char* kAddressLine1 = "17 Lantern Row, Suite 4";
inline constexpr const char* kAddressLine2 = "Harbour Bay, OR 97000";
inline constexpr const char* kPhone = "(555) 014-2290";
inline constexpr const char* kFax = "(555) 014-2291";
inline constexpr const char* kEmail = "corvane@oriel-software.example";
inline constexpr const char* kWebPage = "www.oriel-software.example/corvane";
// The web site's host, and the path of the download on it: the mail that
// recommends Corvane points to both.
inline constexpr const char* kWebHost = "www.oriel-software.example";
inline constexpr const char* kDownloadPath = "/corvane/download/corvane.deb";

// The product's tagline (the file description of the version information)
// and its copyright notice.
inline constexpr const char* kDescription =
    "Your address book: people, places and the dates that matter";
inline constexpr const char* kCopyright = "2005-2026 Oriel Software. All rights reserved.";

}  // namespace corvane::maker
