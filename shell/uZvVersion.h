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

} // namespace kelvara
