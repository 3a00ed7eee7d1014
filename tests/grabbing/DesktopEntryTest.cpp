// The desktop's view of the program: the launcher entry offers it for every kind of file the
// window opens (through the shared MIME database or the program's own types), and the icon theme
// gets a picture of the size each folder promises.
#include "grabbing/main.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMimeDatabase>

#include <gtest/gtest.h>

namespace {

const QString Desktop = QStringLiteral(KELVARA_SOURCE_DIR "/desktop");

QStringList EntryValue(const QString& key) {
    QFile file(Desktop + QStringLiteral("/kelvara.desktop"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1).split(u';', Qt::SkipEmptyParts);
    return {};
}

TEST(DesktopEntry, OffersTheProgramForEveryExtensionItOpens) {
    const QStringList listed = EntryValue(QStringLiteral("MimeType"));
    ASSERT_FALSE(listed.isEmpty());
    // The program's own types, for what the shared database does not know.
    QFile package(Desktop + QStringLiteral("/kelvara-mime.xml"));
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    const QMimeDatabase db;
    QHash<QString, QString> own; // extension -> type
    QString type;
    for (const QString& line : QString::fromUtf8(package.readAll()).split(u'\n')) {
        if (line.contains(QStringLiteral("<mime-type type=\"")))
            type = line.section(u'"', 1, 1);
        else if (line.contains(QStringLiteral("<glob pattern=\"*")))
            own.insert(line.section(u'"', 1, 1).mid(1), type);
    }
    for (const QString& ext : TShowForm::AcceptedExtensions()) {
        QStringList names;
        for (const QMimeType& t : db.mimeTypesForFileName(QStringLiteral("clip") + ext))
            names << t.name() << t.aliases();
        if (own.contains(ext))
            names << own[ext];
        const bool offered = std::any_of(names.begin(), names.end(),
                                         [&](const QString& n) { return listed.contains(n); });
        EXPECT_TRUE(offered) << ext.toStdString() << " is opened but none of its types is listed";
    }
    // The launcher passes the file as the program's one argument.
    EXPECT_EQ(EntryValue(QStringLiteral("Exec")), QStringList{QStringLiteral("kelvara %f")});
}

TEST(DesktopEntry, EveryIconFolderHoldsAPictureOfItsSize) {
    const QDir hicolor(Desktop + QStringLiteral("/icons/hicolor"));
    const QStringList sizes{"16", "22", "24", "32", "48", "64", "128", "256"};
    for (const QString& s : sizes) {
        const QImage icon(hicolor.filePath(s + u'x' + s + QStringLiteral("/apps/kelvara.png")));
        ASSERT_FALSE(icon.isNull()) << s.toStdString();
        EXPECT_EQ(icon.size(), QSize(s.toInt(), s.toInt()));
        EXPECT_TRUE(icon.hasAlphaChannel());
        // The corners are see-through, the middle is drawn.
        EXPECT_LT(qAlpha(icon.pixel(0, 0)), 16) << s.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 255) << s.toStdString();
    }
    EXPECT_TRUE(QFile::exists(hicolor.filePath(QStringLiteral("scalable/apps/kelvara.svg"))));
}

} // namespace
