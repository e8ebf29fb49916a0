#pragma once

// The four preferences kept between runs, in the desktop's settings store
// (QSettings: organisation and application "Corvane", group "Defaults";
// on Linux ~/.config/Corvane/Corvane.conf). Values are stored as text; a
// text that cannot be converted reads as the key's default.

#include <QString>
#include <functional>

namespace corvane {

class Settings {
  public:
    // FadeStatus: whether windows fade. Stored as the word True or False.
    bool fadeStatus() const;
    void setFadeStatus(bool on);

    // ColumnToIndex: the column chooser item shown in the list's second
    // column; 3 ("Birthday") when missing.
    int columnToIndex() const;
    void setColumnToIndex(int index);

    // LastTab: the editor's last tab of an existing entry; 0 when missing.
    int lastTab() const;
    void setLastTab(int tab);

    // NewUser: "NoShow" once the user asked not to see the welcome again.
    QString newUser() const;
    void setNewUser(const QString& value);

    // The raw text of a key, or `fallback` when it is missing.
    QString read(const QString& key, const QString& fallback) const;
    // Stores a key at once. When the store refuses (a read-only or full
    // configuration folder) `onWriteFailure` hears of it with the settings
    // file's name, once per run; false then.
    bool write(const QString& key, const QString& value);

    std::function<void(const QString& fileName)> onWriteFailure;

    // Conversions of stored text, as the readers apply them; a text that is
    // no finite number ("nan", "inf") reads as the fallback.
    static bool toBool(const QString& text, bool fallback);
    static int toShort(const QString& text, int fallback);

  private:
    bool m_failureReported = false;
};

}  // namespace corvane
