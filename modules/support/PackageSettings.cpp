#include "modules/support/PackageSettings.h"

#include "platform/registry/RegistryHive.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

std::optional<uint32_t> TPackageSettings::Dword(const QString& subKey, const QString& name) const {
    const QString key = subKey.isEmpty() ? FKey : FKey + u'\\' + subKey;
    const std::optional<RegValue> value = RegistryHive::User()->Value(key, name);
    return value ? value->AsDword() : std::nullopt;
}

QSet<QString> TPackageSettings::RefusedCodecs() const {
    QSet<QString> refused;
    const std::shared_ptr<RegistryHive> hive = RegistryHive::User();
    const QString key = FKey + QStringLiteral("\\Formats");
    for (const QString& name : hive->ValueNames(key).value_or(QStringList())) {
        const std::optional<RegValue> value = hive->Value(key, name);
        if (value && value->AsDword() == 0u)
            refused.insert(name.toUpper());
    }
    return refused;
}

QString TPackageSettings::CodecName(AVCodecID codec) {
    const char* name = avcodec_get_name(codec);
    return name ? QString::fromLatin1(name).toUpper() : QString();
}

bool TPackageSettings::Flag(const QString& name, bool absent) const {
    const std::optional<uint32_t> value = Dword(QString(), name);
    return value ? *value != 0 : absent;
}
