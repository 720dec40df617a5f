#include "ui/settings.h"

#include <QSettings>

namespace brimwell::ui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("brimwell"),
                     QStringLiteral("brimwell"));
}

}  // namespace

QString readSetting(const Setting& setting) {
    return store().value(toQString(setting.key), toQString(setting.defaultText)).toString();
}

void writeSetting(const Setting& setting, const QString& text) {
    store().setValue(toQString(setting.key), text);
}

}  // namespace brimwell::ui
