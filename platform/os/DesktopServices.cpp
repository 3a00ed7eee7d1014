#include "platform/os/DesktopServices.h"

#include <QDesktopServices>
#include <QUrl>

namespace kelvara::os {

bool OpenUrl(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (address.trimmed().isEmpty() || !url.isValid() || url.scheme().isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

QString MailLink(const QString& address, const QString& subject, const QString& body) {
    const auto encoded = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=") + encoded(subject) +
           QStringLiteral("&body=") + encoded(body);
}

} // namespace kelvara::os
