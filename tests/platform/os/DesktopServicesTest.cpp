// Links handed to the desktop: a mail link keeps a subject with "&", "?" or "=" as one subject,
// and addresses that name no scheme are refused before the desktop is asked.
#include "platform/os/DesktopServices.h"

#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

using kelvara::os::MailLink;
using kelvara::os::OpenUrl;

TEST(DesktopServices, AMailLinkKeepsItsSubjectAndBodyWhole) {
    const QString link =
        MailLink(QStringLiteral("someone@example.org"), QStringLiteral("About A & B? x=1 é"),
                 QStringLiteral("line one\nline two"));
    EXPECT_TRUE(link.startsWith(QStringLiteral("mailto:someone@example.org?subject=")));
    const QUrlQuery query(QUrl(link).query(QUrl::FullyEncoded));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("About A & B? x=1 é"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QStringLiteral("line one\nline two"));
    EXPECT_EQ(query.queryItems().size(), 2);
    EXPECT_TRUE(MailLink(QStringLiteral("a@b.c"), QStringLiteral("Hi"))
                    .endsWith(QStringLiteral("?subject=Hi&body=")));
}

TEST(DesktopServices, AddressesWithoutASchemeAreRefused) {
    EXPECT_FALSE(OpenUrl(QString()));
    EXPECT_FALSE(OpenUrl(QStringLiteral("   ")));
    EXPECT_FALSE(OpenUrl(QStringLiteral("kelvara.example.org/docs")));
    EXPECT_FALSE(OpenUrl(QStringLiteral("http://[broken")));
}

} // namespace
