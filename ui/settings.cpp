#include "ui/settings.h"

#include <QSettings>

#include "ui/qt_text.h"

namespace brimwell::ui {

namespace {

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
