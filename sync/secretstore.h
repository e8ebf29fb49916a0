#pragma once

// The sync account's password in the desktop's secret store (the Secret
// Service or KWallet, through QtKeychain), under the service "Corvane" and
// the key user@collection. The password is kept nowhere else.

#include <QString>

#include "syncaccount.h"

namespace corvane {

// The password kept for `account`; empty, with `why` set, when there is
// none or no secret store answers.
QString storedSyncPassword(const SyncAccount& account, QString& why);
// Keeps `password` for `account`; false, with `why` set, when no secret
// store takes it.
bool storeSyncPassword(const SyncAccount& account, const QString& password, QString& why);

}  // namespace corvane
