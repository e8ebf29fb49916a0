#pragma once

// The program's one way out to the user's mail program and browser.
//
// Text from an entry is only ever an address: a mail address can add no
// recipient, subject, body or attachment, and a web address is always an
// http or https address with no user before its host. Only two callers
// hand the desktop a mail with a query, and neither takes text from an
// entry: the maker's links (a fixed address) and the recommendation mail.

#include <QString>

class QWidget;

namespace corvane {

class Platform;

inline constexpr int kLaunchEmail = 1;
inline constexpr int kLaunchWebPage = 2;

// What an entry's address field becomes: the address to open, or why it
// may not be opened (then `address` is empty).
struct FieldAddress {
    QString address;
    QString refusal;
};

// The address for an entry's `text` (blanks at its ends trimmed), or the
// maker's when `text` is empty.
// - kind 1: "mailto:" and the text, with every character that could end
//   the address and start a query, a fragment or another header ("?", "&",
//   "#", "%", line breaks and other control characters) percent-encoded,
//   so that it stays part of the address.
// - kind 2: "http://" and the text, or the text itself when it starts with
//   "http://" or "https://"; refused when the text names another scheme
//   ("javascript:", "file:"), holds a line break or a control character, or
//   puts a user before the host ("user@host").
FieldAddress fieldAddress(int kind, const QString& text);

// Opens the address an entry's field `fieldName` ("personal web page")
// holds, or the maker's when `text` is empty. A refused address is
// explained in a message naming the field; an address the desktop does
// not take is reported as "Could not establish an internet connection!".
void LaunchInternet(Platform& platform, int kind, QWidget* owner, const QString& text,
                    const QString& fieldName = {});

// The mail that recommends Corvane, after "mailto:": subject and body, no
// recipient, line breaks written as "%0D%0A" and nothing else encoded.
QString emailFriendTarget();

// Opens that mail: the one mail with a subject and body of the program's
// own making.
void LaunchEmailFriend(Platform& platform, QWidget* owner);

}  // namespace corvane
