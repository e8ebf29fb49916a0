#pragma once

// The entry editor's 31 text fields: where each stands, what it is called,
// which record field it shows and how much it may hold.

#include <QString>
#include <array>

#include "contactrecord.h"

namespace corvane {

struct EditorField {
    int tab;            // 0 Name, 1 Home, 2 Business, 3 Other
    const char* label;  // the caption above the field
    Field field;        // the record field it shows
    int maxLength;      // characters it may hold (a line break counts two)
};

inline constexpr int kEditorFields = 31;
inline constexpr int kBirthdayField = 4;
inline constexpr int kAnniversaryField = 5;
inline constexpr int kNameField = 2;

// Field `index` (1 to 31).
const EditorField& editorField(int index);

// True for the four multi-line fields (17, 29, 30, 31).
bool isMultiLineField(int index);

// The space indicator's text for a field holding `length` of `maxLength`
// characters: " 37% full ".
QString spaceFullText(int length, int maxLength);

}  // namespace corvane
