#include "settings.h"

#include <QSettings>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

const QString kOrganisation = QStringLiteral("Corvane");
const QString kApplication = QStringLiteral("Corvane");
const QString kSection = QStringLiteral("Defaults");

}  // namespace

QString Settings::read(const QString& key, const QString& fallback) const {
    QSettings store(kOrganisation, kApplication);
    store.beginGroup(kSection);
    const QVariant value = store.value(key);
    return value.isValid() ? value.toString() : fallback;
}

bool Settings::write(const QString& key, const QString& value) {
    QSettings store(kOrganisation, kApplication);
    store.beginGroup(kSection);
    store.setValue(key, value);
    store.sync();
    if (store.status() == QSettings::NoError) {
        return true;
    }
    if (!m_failureReported && onWriteFailure) {
        m_failureReported = true;
        onWriteFailure(store.fileName());
    }
    return false;
}

bool Settings::toBool(const QString& text, bool fallback) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    // A number is true unless it is zero, as the Windows releases read it.
    bool isNumber = false;
    const double number = word.toDouble(&isNumber);
    return isNumber && std::isfinite(number) ? number != 0.0 : fallback;
}

int Settings::toShort(const QString& text, int fallback) {
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number) || number < std::numeric_limits<short>::min() ||
        number > std::numeric_limits<short>::max()) {
        return fallback;
    }
    return static_cast<int>(std::lround(number));
}

bool Settings::fadeStatus() const {
    return toBool(read(QStringLiteral("FadeStatus"), QString()), false);
}

void Settings::setFadeStatus(bool on) {
    write(QStringLiteral("FadeStatus"), on ? QStringLiteral("True") : QStringLiteral("False"));
}

int Settings::columnToIndex() const {
    return toShort(read(QStringLiteral("ColumnToIndex"), QString()), 3);
}

void Settings::setColumnToIndex(int index) {
    write(QStringLiteral("ColumnToIndex"), QString::number(index));
}

int Settings::lastTab() const {
    return toShort(read(QStringLiteral("LastTab"), QString()), 0);
}

void Settings::setLastTab(int tab) {
    write(QStringLiteral("LastTab"), QString::number(tab));
}

QString Settings::newUser() const {
    return read(QStringLiteral("NewUser"), QString());
}

void Settings::setNewUser(const QString& value) {
    write(QStringLiteral("NewUser"), value);
}

}  // namespace corvane
