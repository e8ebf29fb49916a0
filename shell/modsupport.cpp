#include "modsupport.h"

namespace corvane::modSupport {

QString FlattenLines(QString text) {
    static const QString kBreak = QStringLiteral("\r\n");
    static const QString kSeparator = QStringLiteral(" \u00B7 ");
    for (qsizetype at = text.indexOf(kBreak); at >= 0; at = text.indexOf(kBreak)) {
        if (at == 0) {
            text.remove(0, 2);
        } else if (at + 2 == text.size()) {
            text.chop(2);
        } else {
            text.replace(at, 2, kSeparator);
        }
    }
    return text;
}

}  // namespace corvane::modSupport
