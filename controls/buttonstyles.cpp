#include "buttonstyles.h"

namespace corvane::buttonStyles {
namespace {

QVariantMap common(int style) {
    return {{"BTYPE", style}, {"COLTYPE", 2},       {"BCOL", kFace},    {"BCOLO", kFaceOver},
            {"FCOL", kText},  {"FCOLO", kTextOver}, {"MCOL", 0xC0C0C0u}};
}

}  // namespace

QVariantMap captionButton(const QString& caption) {
    QVariantMap bag = common(14);
    bag.insert("TX", caption);
    return bag;
}

QVariantMap pictureButton() {
    return common(11);
}

QVariantMap seeAllButton(const QString& caption) {
    QVariantMap bag = common(3);
    bag.insert("TX", caption);
    return bag;
}

}  // namespace corvane::buttonStyles
