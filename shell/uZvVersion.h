#pragma once
// The program's version texts, the same in the window captions, the preferences header and the
// about page.
#include <QString>

namespace kelvara {

// "6.3.2".
QString ZvVersion();
// "en".
QString ZvLanguage();
// The product title: "Kelvara " + version + " " + language.
QString ZvFullName();
// The last update date, "dd/mm/yyyy".
QString ZvLastUpdate();
// The author named after "by" in the captions.
QString ZvAuthor();

// Where the program can be reached, named once for the about page and the e-mail and home page
// commands.
// The author's contact address (without "mailto:").
QString ZvContactAddress();
// The home page, the documentation and the forum.
QString ZvHomePage();
QString ZvDocumentationPage();
QString ZvForumPage();

} // namespace kelvara
