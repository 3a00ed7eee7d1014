#pragma once
// Hands web and mail links to the desktop: a web address opens in the default browser, a mailto:
// link in the default mail program. Best effort: the result says whether the desktop accepted the
// link, and the program reports nothing to the user when it did not.
//
// Thread contract: GUI thread (the desktop services of Qt).
#include <QString>

namespace kelvara::os {

// Opens the address (http:, https:, mailto:, file:, ...) with the desktop's default handler;
// false for an empty or malformed address or when the desktop refused it.
bool OpenUrl(const QString& address);

// "mailto:" + address + "?subject=" + subject + "&body=" + body, the subject and the body
// percent-encoded, so that a subject with "&" or "?" stays one subject.
QString MailLink(const QString& address, const QString& subject, const QString& body = {});

} // namespace kelvara::os
