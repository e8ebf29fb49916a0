#pragma once

// How the windows tell the user about the data file: a failed operation,
// and something wrong with the file's shape. Each message names the file
// and the reason.

class QWidget;

namespace corvane {

class AppState;
struct StoreStatus;
struct FileDamage;

// "Error" box with the file name and the system's reason.
void reportStoreError(AppState& app, QWidget* owner, const StoreStatus& status);

// Tells the user once what is wrong with the data file's shape.
void reportFileDamage(AppState& app, QWidget* owner, const FileDamage& damage);

// Tells the user what the store did with its journal since it was last
// asked (a save finished, a journal set aside), each thing once a run.
void reportStoreNotices(AppState& app, QWidget* owner);

}  // namespace corvane
