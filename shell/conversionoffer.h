#pragma once

// Offering the conversion of the previous release's data file, at start.

class QWidget;

namespace corvane {

class AppState;

// Asks "Data update needed"; on Yes converts Corvane.Dat into Corvane.Data
// and says how it went, on No says what declining means.
void offerConversion(AppState& app, QWidget* owner);

}  // namespace corvane
