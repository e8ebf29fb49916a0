#pragma once

// What the last find asked for, as the program keeps it between finds.

namespace corvane {

// What a find searches. The numbers are the find dialog's choices; None
// is "no find yet".
enum class SearchScope : int {
    None = 0,
    AllText = 1,
    AllButComments = 2,
    Comments = 3,
    Affiliations = 4
};

// How a find compares the phrase with an entry's text.
enum class SearchCompare : int { Exact = 0, IgnoreCase = 1 };

}  // namespace corvane
