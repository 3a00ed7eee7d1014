#pragma once
// The one running file search of the script host (findfirst / findnext / findclose): the folder
// searched and the names still to give, in name order. Every kind of entry matches (hidden files
// and folders included, "." and ".." left out); the mask uses * and ? without regard to case.
#include <QString>
#include <QStringList>

namespace kelvara::script {

class FileSearch {
public:
    // Starts a new search (ending any running one); the first match as folder + name, or the
    // empty text (the search is then closed). A missing separator is added to the folder.
    QString First(const QString& folder, const QString& mask);
    // The next match as folder + name, or the empty text (also when no search runs).
    QString Next();
    void Close();
    bool Running() const { return FRunning; }

private:
    QString FFolder;
    QStringList FNames;
    qsizetype FNext = 0;
    bool FRunning = false;
};

} // namespace kelvara::script
