#include "platform/registry/ImportRegFile.h"

#include "platform/os/AtomicFile.h"
#include "platform/registry/RegFileReader.h"
#include "platform/registry/RegPath.h"
#include "platform/registry/RegistryHive.h"

#include <QStringList>

namespace {

bool Import(const QStringList& args) {
    if (args.size() != 2)
        return false;
    QByteArray bytes;
    if (!AtomicFile::Read(args[1], bytes))
        return false;
    const RegParseResult parsed = RegFileReader::Parse(bytes);
    if (!parsed.Ok())
        return false;
    return RegistryHive::User()->Apply(parsed.Operations);
}

bool Delete(const QStringList& args) {
    if (args.size() < 2)
        return false;
    const auto key = RegPath::SplitRooted(args[1]);
    if (!key || key->isEmpty())
        return false;
    bool force = false, allValues = false;
    std::optional<QString> valueName;
    for (qsizetype i = 2; i < args.size(); ++i) {
        const QString option = args[i].toUpper();
        if (option == u"/F")
            force = true;
        else if (option == u"/VA")
            allValues = true;
        else if (option == u"/VE")
            valueName = QString();
        else if (option == u"/V" && i + 1 < args.size())
            valueName = args[++i];
        else
            return false;
    }
    if (!force || (allValues && valueName))
        return false;
    const auto hive = RegistryHive::User();
    const QString path = RegPath::Join(*key);
    if (valueName)
        return hive->DeleteValue(path, *valueName);
    if (!allValues)
        return hive->DeleteTree(path);
    const auto names = hive->ValueNames(path);
    if (!names)
        return false;
    RegOperations ops;
    for (const QString& name : *names)
        ops.push_back({RegOperation::DeleteValue, *key, name, {}});
    return hive->Apply(ops);
}

} // namespace

QStringList SplitCommandLine(const QString& commandLine) {
    QStringList args;
    QString current;
    bool inArgument = false, quoted = false;
    const qsizetype n = commandLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandLine[i];
        if (c == u'\\') {
            qsizetype slashes = 0;
            while (i < n && commandLine[i] == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < n && commandLine[i] == u'"') {
                current += QString(slashes / 2, u'\\');
                if (slashes % 2 == 1)
                    current += u'"';
                else
                    quoted = !quoted;
            } else {
                current += QString(slashes, u'\\');
                --i;
            }
            inArgument = true;
        } else if (c == u'"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == u' ' || c == u'\t') && !quoted) {
            if (inArgument)
                args.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.append(current);
    return args;
}

bool ImportRegFile(const QString& parameters, bool hidden) {
    (void)hidden;
    const QStringList args = SplitCommandLine(parameters);
    if (args.isEmpty())
        return false;
    const QString verb = args[0].toLower();
    if (verb == u"import")
        return Import(args);
    if (verb == u"delete")
        return Delete(args);
    return false;
}
